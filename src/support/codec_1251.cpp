#include "support/codec_1251.h"

#include <array>

namespace {

// Upper half of the code page, 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

char16_t toUnicode(unsigned char b)
{
    if (b < 0x80)
        return b;
    if (b >= 0xC0)
        return char16_t(0x0410 + (b - 0xC0));
    return kHigh[b - 0x80];
}

// Returns 0 for a character without a byte (0 itself is handled by the caller).
unsigned char toByte(char16_t u)
{
    if (u < 0x80)
        return static_cast<unsigned char>(u);
    if (u >= 0x0410 && u <= 0x044F)
        return static_cast<unsigned char>(0xC0 + (u - 0x0410));
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == u)
            return static_cast<unsigned char>(0x80 + i);
    return 0;
}

} // namespace

namespace Cp1251 {

QString decode(const char *data, qsizetype size)
{
    QString out(size, Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < size; ++i)
        dst[i] = QChar(toUnicode(static_cast<unsigned char>(data[i])));
    return out;
}

QString decode(const QByteArray &bytes)
{
    return decode(bytes.constData(), bytes.size());
}

void encodeAppend(QByteArray &out, QStringView text)
{
    const qsizetype start = out.size();
    out.resize(start + text.size()); // at most one byte a character
    char *dst = out.data() + start;
    const QChar *src = text.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = src[i].unicode();
        const unsigned char b = toByte(u);
        *dst++ = static_cast<char>((b == 0 && u != 0) ? '?' : b);
        // A character beyond the basic plane is one "?", not two.
        if (src[i].isHighSurrogate() && i + 1 < text.size() && src[i + 1].isLowSurrogate())
            ++i;
    }
    out.resize(dst - out.constData());
}

QByteArray encode(const QString &text)
{
    QByteArray out;
    encodeAppend(out, text);
    return out;
}

QByteArray encodeLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        out += encode(line);
        out += "\r\n";
    }
    return out;
}

bool canEncode(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() != 0 && toByte(c.unicode()) == 0)
            return false;
    return true;
}

} // namespace Cp1251
