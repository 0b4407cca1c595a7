// The texts the high-score window shows for a record.
#pragma once

#include <QString>

namespace records {

// A length in pixels: "1m 94cm" for 777 (a rest below 1 cm is dropped), the
// millimetres "0.0mm" to "7.5mm" for 0 to 3, and "?" for a negative length,
// which the game never produces but a hand-edited registry may hold.
QString LengthText(int pixels);

// As LengthText, but the lower ranks show an empty slot (length 0) as
// nothing; the first rank shows it as "0.0mm".
QString RankLengthText(int rankIndex, int pixels);

// The sex code of a record: empty for 0, "ｵｶﾏ", "男", "女" for 1 to 3, and
// "?" for any other code from a hand-edited registry.
QString SexText(int code);

} // namespace records
