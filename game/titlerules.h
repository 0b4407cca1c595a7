// Rules of the title menu that need no window.
#pragma once

#include <QStringList>

namespace title {

inline constexpr int DefaultTimeLimit = 10;
// The round's end, TimeLimit * 1000 + 1000 ms, must fit a signed 32-bit
// number; time limits beyond these bounds are not taken from the command line.
inline constexpr int MinTimeLimit = -2147483;
inline constexpr int MaxTimeLimit = 2147482;

inline constexpr int VersionClicksForCredits = 50;
inline constexpr int TitleClicksForHolyUp = 200;
inline constexpr int HolyUpTimeLimit = 99;

// A release counts as a click of a flat button when it lies inside the
// button, both ends included.
bool ReleaseInside(int x, int y, int width, int height);

// The option "/TimeToWin N": exactly two parameters, the first exactly
// "/TimeToWin". Returns the time limit it sets, or `current` when the command
// line is not that option. N that is not a whole number, or lies outside the
// safe bounds, gives the default of 10.
int TimeLimitFromParameters(const QStringList &parameters, int current);

// A whole number the way the classic string-to-integer conversion reads it:
// leading blanks, a sign, decimal digits or a "$" / "0x" hexadecimal prefix.
bool ReadInteger(const QString &text, int &value);

} // namespace title
