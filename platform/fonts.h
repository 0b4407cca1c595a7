// The windows were designed with Japanese Windows fonts. Each design name is
// mapped here, inside the program, to a font Debian ships, whatever the
// user's font configuration says about the design name.
#pragma once

#include <QString>

#include <thread>

namespace platform {

// "ＭＳ Ｐゴシック" -> IPAPGothic, "System" -> IPAGothic, Arial -> Liberation Sans.
QString fontFamily(const QString &designName);

// Checks that the fonts are there; says so once on standard error if not.
void installFonts();

// Reading the system's font configuration takes milliseconds before the
// first text can be measured. This reads it on a thread of its own while the
// application connects to the display. Made before the application object;
// wait() before the first font is used.
class FontConfigurationReader {
public:
    FontConfigurationReader();
    ~FontConfigurationReader();
    FontConfigurationReader(const FontConfigurationReader &) = delete;
    FontConfigurationReader &operator=(const FontConfigurationReader &) = delete;
    void wait();

private:
    std::thread thread_;
};

} // namespace platform
