#include "dialogs/namerules.h"

#include "platform/cp932.h"

namespace namerules {

namespace {

const QString Hiragana = QStringLiteral("ろと");
const QString Katakana = QStringLiteral("ロト");
const QString HalfWidthKatakana = QStringLiteral("ﾛﾄ");
const QString LatinName = QStringLiteral("ROTO");
const QString Placeholder = QStringLiteral("%s");

// The system's upper case as the code page sees it: only a to z change.
QString upperCaseLatin(const QString &text)
{
    QString upper = text;
    for (QChar &c : upper) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return upper;
}

bool hasControlCharacter(const QString &text)
{
    for (QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

} // namespace

bool isRefusedName(const QString &name)
{
    return name == Hiragana || name == Katakana || name == HalfWidthKatakana ||
           upperCaseLatin(name) == LatinName || name.contains(Placeholder, Qt::CaseSensitive);
}

bool canSubmit(const QString &text)
{
    return !text.isEmpty();
}

FittedName fitName(const QString &text, int cursor)
{
    bool representable = false;
    const QByteArray bytes = platform::toCp932(text, &representable);
    if (!representable || hasControlCharacter(text))
        return {NameFit::Refused, text, cursor};

    // Every character of the code page is one UTF-16 unit, so positions in
    // the text read back are the positions in the text typed.
    QString kept = platform::fromCp932(bytes);
    int at = qBound(0, cursor, int(kept.size()));
    qsizetype length = bytes.size();
    while (length > MaxNameBytes) {
        const int cut = at > 0 ? at - 1 : int(kept.size()) - 1;
        length -= platform::cp932Length(kept.mid(cut, 1));
        kept.remove(cut, 1);
        if (at > cut)
            --at;
    }
    const NameFit fit = kept == text ? NameFit::Fits : NameFit::Trimmed;
    return {fit, kept, at};
}

} // namespace namerules
