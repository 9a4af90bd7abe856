#include "forms/gbk.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace gbk {
namespace {

// One iconv descriptor for the duration of a conversion.
class Converter {
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Converts as much of [in, in+inLeft) as it can; returns errno of the stop, or 0 at the end.
    int run(const char *&in, size_t &inLeft, QByteArray &out)
    {
        while (inLeft > 0) {
            const qsizetype used = out.size();
            out.resize(used + qsizetype(inLeft) * 2 + 16);
            char *outPtr = out.data() + used;
            size_t outLeft = size_t(out.size() - used);
            const size_t rc = iconv(m_cd, const_cast<char **>(&in), &inLeft, &outPtr, &outLeft);
            out.resize(outPtr - out.data());
            if (rc == size_t(-1) && errno != E2BIG)
                return errno;
        }
        return 0;
    }

private:
    iconv_t m_cd;
};

}

QByteArray encode(const QString &text)
{
    static_assert(sizeof(char16_t) == 2);
    Converter conv("GB18030", "UTF-16LE");
    const char *in = reinterpret_cast<const char *>(text.utf16());
    size_t inLeft = size_t(text.size()) * 2;
    QByteArray out;
    out.reserve(text.size() * 2);
    while (inLeft > 0) {
        if (conv.run(in, inLeft, out) == 0)
            break;
        // A lone surrogate has no encoding: write "?" for it and go on.
        out.append('?');
        in += 2;
        inLeft -= 2;
    }
    return out;
}

QString decode(const QByteArray &bytes)
{
    Converter conv("UTF-16LE", "GB18030");
    const char *in = bytes.constData();
    size_t inLeft = size_t(bytes.size());
    QByteArray out;
    out.reserve(bytes.size() * 2);
    static const char replacement[2] = {char(0xFD), char(0xFF)}; // U+FFFD in UTF-16LE
    while (inLeft > 0) {
        if (conv.run(in, inLeft, out) == 0)
            break;
        // EILSEQ: an invalid sequence; EINVAL: an incomplete one at the very end. Either way one
        // byte becomes U+FFFD and decoding goes on after it.
        out.append(replacement, 2);
        ++in;
        --inLeft;
    }
    return QString(reinterpret_cast<const QChar *>(out.constData()), out.size() / 2);
}

}
