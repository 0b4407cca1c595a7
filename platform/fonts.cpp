#include "platform/fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include <cstdio>

#include <fontconfig/fontconfig.h>

namespace platform {

namespace {
struct FontMapping {
    const char *designName;
    const char *family;
};
const FontMapping fontMappings[] = {
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"System", "IPAGothic"},
    {"Arial", "Liberation Sans"},
};
} // namespace

QString fontFamily(const QString &designName)
{
    for (const FontMapping &mapping : fontMappings) {
        if (designName == QString::fromUtf8(mapping.designName))
            return QString::fromUtf8(mapping.family);
    }
    return designName;
}

void installFonts()
{
    const QStringList families = QFontDatabase::families();
    for (const FontMapping &mapping : fontMappings) {
        const QString family = QString::fromUtf8(mapping.family);
        if (!families.contains(family, Qt::CaseInsensitive))
            std::fprintf(stderr, "TORVA: font \"%s\" is missing; texts will look different.\n",
                         mapping.family);
    }
}

// Fontconfig initialises its default configuration once per process and
// safely across threads; whoever asks later gets the one already read.
FontConfigurationReader::FontConfigurationReader() : thread_([] { FcInit(); }) {}

FontConfigurationReader::~FontConfigurationReader()
{
    wait();
}

void FontConfigurationReader::wait()
{
    if (thread_.joinable())
        thread_.join();
}

} // namespace platform
