#include "records/recordtexts.h"

#include "game/rankingrules.h"

namespace records {

namespace {
const QString Unknown = QStringLiteral("?");
} // namespace

QString LengthText(int pixels)
{
    using namespace ranking;
    if (pixels < 0)
        return Unknown;
    if (pixels < PixelsPerCentimetre)
        return MillimetreText(pixels) + QStringLiteral("mm");
    return QStringLiteral("%1m %2cm")
        .arg(pixels / PixelsPerMetre)
        .arg(pixels % PixelsPerMetre / PixelsPerCentimetre);
}

QString RankLengthText(int rankIndex, int pixels)
{
    if (rankIndex > 0 && pixels == 0)
        return {};
    return LengthText(pixels);
}

QString SexText(int code)
{
    static const QString texts[] = {QString(), QStringLiteral("ｵｶﾏ"), QStringLiteral("男"),
                                    QStringLiteral("女")};
    if (code < 0 || code >= int(std::size(texts)))
        return Unknown;
    return texts[code];
}

} // namespace records
