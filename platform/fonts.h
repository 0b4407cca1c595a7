// The windows were designed with Japanese Windows fonts. Each design name is
// mapped here, inside the program, to a font Debian ships, whatever the
// user's font configuration says about the design name.
#pragma once

#include <QString>

namespace platform {

// "ＭＳ Ｐゴシック" -> IPAPGothic, "System" -> IPAGothic, Arial -> Liberation Sans.
QString fontFamily(const QString &designName);

// Checks that the fonts are there; says so once on standard error if not.
void installFonts();

} // namespace platform
