// Whatever reaches the name box (typed, pasted, committed by an input
// method) and whatever bytes a records file holds as a name: the box keeps
// only names that the records file stores and reads back unchanged, within
// the byte limit, and the code page conversion never crashes.
#include "dialogs/namerules.h"
#include "platform/cp932.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void fault(const char *what)
{
    std::fprintf(stderr, "FAULT: %s\n", what);
    std::abort();
}

bool hasControlCharacter(const QString &text)
{
    for (QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

bool survivesRecords(const QString &text)
{
    bool ok = false;
    const QByteArray bytes = platform::toCp932(text, &ok);
    return ok && platform::fromCp932(bytes) == text;
}

void checkEdit(const QString &text, int cursor)
{
    const namerules::FittedName fitted = namerules::fitName(text, cursor);
    if (fitted.fit == namerules::NameFit::Refused) {
        if (platform::isCp932Representable(text) && !hasControlCharacter(text))
            fault("a name the code page holds was refused");
        return;
    }
    if (platform::cp932Length(fitted.text) > namerules::MaxNameBytes)
        fault("a kept name is over the byte limit");
    if (!survivesRecords(fitted.text))
        fault("a kept name does not survive the records file");
    if (fitted.cursor < 0 || fitted.cursor > fitted.text.size())
        fault("the cursor is outside the text");
    if ((fitted.fit == namerules::NameFit::Fits) != (fitted.text == text))
        fault("Fits and the text disagree");
    const namerules::FittedName again = namerules::fitName(fitted.text, fitted.cursor);
    if (again.fit != namerules::NameFit::Fits || again.text != fitted.text)
        fault("a kept name is changed by the next edit");
    if (fitted.text.contains(QStringLiteral("%s")) && !namerules::isRefusedName(fitted.text))
        fault("a name with %s passes");
}

void checkBytes(const QByteArray &bytes)
{
    bool ok = false;
    const QString text = platform::fromCp932(bytes, &ok);
    if (ok && text.contains(QChar::ReplacementCharacter))
        fault("a clean decoding holds a replacement character");
    if (ok && !survivesRecords(text))
        fault("decoded text does not encode back to the same text");
    (void)namerules::isRefusedName(text);
    checkEdit(text, int(text.size()));
}

} // namespace

// First byte: what the rest is (UTF-16 text typed at a cursor, or the bytes
// of a name read from a records file) and the cursor position.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const bool asBytes = data[0] & 0x80;
    const int cursor = data[0] & 0x7F;
    ++data;
    --size;
    if (asBytes) {
        checkBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
        return 0;
    }
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, (size / 2) * 2);
    checkEdit(text, cursor);
    return 0;
}
