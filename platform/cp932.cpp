#include "platform/cp932.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace platform {

namespace {

constexpr char kCodePage[] = "CP932";
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr char kUtf16[] = "UTF-16LE";
#else
constexpr char kUtf16[] = "UTF-16BE";
#endif
constexpr char kUnencodable = '?';
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
constexpr size_t kIconvFailed = static_cast<size_t>(-1);

// The two converters, opened once per thread: the name box converts at every
// keystroke. Without glibc's table (not expected on Linux) only ASCII passes.
struct Converters {
    iconv_t encoder = iconv_open(kCodePage, kUtf16);
    iconv_t decoder = iconv_open(kUtf16, kCodePage);
    ~Converters()
    {
        if (encoder != kNoConverter)
            iconv_close(encoder);
        if (decoder != kNoConverter)
            iconv_close(decoder);
    }
};

Converters &converters()
{
    thread_local Converters theConverters;
    return theConverters;
}

bool isAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(const QByteArray &bytes)
{
    for (char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80)
            return false;
    }
    return true;
}

void setOk(bool *ok, bool value)
{
    if (ok)
        *ok = value;
}

// How many UTF-16 units the character at `at` takes (2 for a surrogate pair).
qsizetype unitsOfCharacter(QStringView text, qsizetype at)
{
    if (text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
        return 2;
    return 1;
}

} // namespace

QByteArray toCp932(const QString &text, bool *ok)
{
    const iconv_t cd = converters().encoder;
    if (isAscii(text) || cd == kNoConverter) {
        bool allAscii = true;
        QByteArray out = text.toLatin1();
        for (qsizetype i = 0; i < out.size(); ++i) {
            if (static_cast<unsigned char>(out[i]) >= 0x80) {
                out[i] = kUnencodable;
                allAscii = false;
            }
        }
        setOk(ok, allAscii);
        return out;
    }

    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QByteArray out(text.size() * 2, '\0'); // at most two bytes per UTF-16 unit
    char *in = reinterpret_cast<char *>(const_cast<QChar *>(text.constData()));
    size_t inLeft = static_cast<size_t>(text.size()) * sizeof(QChar);
    char *outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    bool clean = true;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != kIconvFailed)
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break; // cannot happen: the buffer is large enough
        // A character outside the code page, or a lone surrogate.
        const qsizetype at = text.size() - static_cast<qsizetype>(inLeft / sizeof(QChar));
        const size_t skip = static_cast<size_t>(unitsOfCharacter(text, at)) * sizeof(QChar);
        *outPtr++ = kUnencodable;
        --outLeft;
        in += skip;
        inLeft -= skip;
        clean = false;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.truncate(outPtr - out.data());
    setOk(ok, clean);
    return out;
}

QString fromCp932(const QByteArray &bytes, bool *ok)
{
    const iconv_t cd = converters().decoder;
    if (isAscii(bytes)) {
        setOk(ok, true);
        return QString::fromLatin1(bytes);
    }
    if (cd == kNoConverter) {
        QString out = QString::fromLatin1(bytes);
        for (QChar &c : out) {
            if (c.unicode() >= 0x80)
                c = QChar::ReplacementCharacter;
        }
        setOk(ok, false);
        return out;
    }

    // Every byte or pair of bytes gives one UTF-16 unit at most.
    QString out(bytes.size(), Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char *outPtr = reinterpret_cast<char *>(out.data());
    size_t outLeft = static_cast<size_t>(out.size()) * sizeof(QChar);
    bool clean = true;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != kIconvFailed)
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break; // cannot happen: the buffer is large enough
        // A byte that starts no character: one replacement character for it,
        // or for the pair when a lead byte with a proper trail byte is unassigned.
        size_t skip = 1;
        if (inLeft >= 2 && isCp932LeadByte(static_cast<unsigned char>(in[0])) &&
            isCp932TrailByte(static_cast<unsigned char>(in[1])))
            skip = 2;
        const QChar replacement(QChar::ReplacementCharacter);
        std::memcpy(outPtr, &replacement, sizeof replacement);
        outPtr += sizeof replacement;
        outLeft -= sizeof replacement;
        in += skip;
        inLeft -= skip;
        clean = false;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.truncate((outPtr - reinterpret_cast<char *>(out.data())) / qsizetype(sizeof(QChar)));
    setOk(ok, clean);
    return out;
}

bool isCp932Representable(const QString &text)
{
    bool ok = false;
    toCp932(text, &ok);
    return ok;
}

qsizetype cp932Length(const QString &text)
{
    return toCp932(text).size();
}

} // namespace platform
