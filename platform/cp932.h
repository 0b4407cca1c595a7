// Text in code page 932 (Microsoft's Shift-JIS, with the NEC and IBM
// extensions), the encoding of every name and text the game keeps.
//
// The tables are glibc's "CP932", which decode exactly as Windows does
// (0x8160 is U+FF5E FULLWIDTH TILDE, 0x8740 is ①, 0xB5 is ｵ). On encoding
// they also take the JIS-style twins that Linux input methods type for a few
// of those characters (U+301C WAVE DASH -> 0x8160, U+2212 MINUS SIGN ->
// 0x817C, U+00A5 YEN SIGN -> 0x5C, ...); those read back as the Windows ones.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The text's bytes. A character outside the code page becomes one '?' and
// sets *ok to false (true when every character could be encoded).
QByteArray toCp932(const QString &text, bool *ok = nullptr);

// The text of the bytes. Bytes that are not code page 932 (a lone or cut-off
// lead byte, an unassigned pair, 0x80, 0xA0, 0xFD to 0xFF) each become
// U+FFFD and set *ok to false; everything around them is decoded as usual.
QString fromCp932(const QByteArray &bytes, bool *ok = nullptr);

// Whether every character of the text has a code in code page 932.
bool isCp932Representable(const QString &text);

// The text's length in bytes once encoded (a character outside the code
// page counts as the one '?' that stands for it).
qsizetype cp932Length(const QString &text);

// The two byte classes of the code page's double-byte characters.
constexpr bool isCp932LeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool isCp932TrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

} // namespace platform
