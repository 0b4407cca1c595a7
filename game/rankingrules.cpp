#include "game/rankingrules.h"

namespace ranking {

int InsertRecord(RecordTable &table, const RecordEntry &entry)
{
    for (int slot = 0; slot < RecordCount; ++slot) {
        if (entry.length > table[slot].length) {
            for (int lower = RecordCount - 1; lower > slot; --lower)
                table[lower] = table[lower - 1];
            table[slot] = entry;
            return slot + 1;
        }
    }
    return 0;
}

bool LengthsInOrder(int first, int second, int third)
{
    return first >= second && second >= third;
}

bool UnlocksSfcMode(int bestLength)
{
    return bestLength > SfcUnlockLength;
}

QString MillimetreText(int pixels)
{
    static const char *const texts[PixelsPerCentimetre] = {"0.0", "2.5", "5.0", "7.5"};
    if (pixels < 0 || pixels >= PixelsPerCentimetre)
        return {};
    return QString::fromLatin1(texts[pixels]);
}

QString RecordDateText(const QDateTime &moment)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    return QStringLiteral("%1/%2/%3  %4:%5:%6")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month())
        .arg(date.day())
        .arg(time.hour())
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'));
}

} // namespace ranking
