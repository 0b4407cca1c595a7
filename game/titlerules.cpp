#include "game/titlerules.h"

#include <climits>

namespace title {

bool ReleaseInside(int x, int y, int width, int height)
{
    return x >= 0 && x <= width && y >= 0 && y <= height;
}

bool ReadInteger(const QString &text, int &value)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    QString rest = text.mid(i);
    bool negative = false;
    if (rest.startsWith(QLatin1Char('-')) || rest.startsWith(QLatin1Char('+'))) {
        negative = rest.startsWith(QLatin1Char('-'));
        rest = rest.mid(1);
    }
    int base = 10;
    if (rest.startsWith(QLatin1Char('$'))) {
        base = 16;
        rest = rest.mid(1);
    } else if (rest.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        rest = rest.mid(2);
    }
    if (rest.isEmpty())
        return false;
    const QString digits = base == 10 ? QStringLiteral("0123456789")
                                      : QStringLiteral("0123456789abcdefABCDEF");
    for (const QChar c : rest) {
        if (!digits.contains(c))
            return false;
    }
    bool ok = false;
    const qlonglong magnitude = rest.toLongLong(&ok, base);
    if (!ok)
        return false;
    const qlonglong signedValue = negative ? -magnitude : magnitude;
    if (signedValue < INT_MIN || signedValue > INT_MAX)
        return false;
    value = static_cast<int>(signedValue);
    return true;
}

int TimeLimitFromParameters(const QStringList &parameters, int current)
{
    if (parameters.size() != 2 || parameters.at(0) != QLatin1String("/TimeToWin"))
        return current;
    int value = 0;
    if (!ReadInteger(parameters.at(1), value) || value < MinTimeLimit || value > MaxTimeLimit)
        return DefaultTimeLimit;
    return value;
}

} // namespace title
