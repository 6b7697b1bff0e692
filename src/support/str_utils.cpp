#include "support/str_utils.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= 32;
}

bool isDigit(QChar c)
{
    return c >= QChar('0') && c <= QChar('9');
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// An optional "+" or "-" at s[i]: steps over it; true for "-".
bool takeSign(const QString &s, qsizetype &i)
{
    if (i >= s.size() || (s[i] != QChar('+') && s[i] != QChar('-')))
        return false;
    return s[i++] == QChar('-');
}

// Reads a whole text as a decimal number: [sign] digits* [. digits*]
// [(E|e) [sign] digits+]; a sign must be followed by something. A number
// beyond the largest double is refused.
bool parseDecimal(const QString &s, double *value)
{
    const qsizetype n = s.size();
    qsizetype i = 0;
    const bool negative = takeSign(s, i);
    if (i > 0 && i >= n) // a sign alone
        return false;
    std::string digits;
    while (i < n && isDigit(s[i]))
        digits += char(s[i++].unicode());
    std::string fraction;
    if (i < n && s[i] == QChar('.')) {
        ++i;
        while (i < n && isDigit(s[i]))
            fraction += char(s[i++].unicode());
    }
    std::string exponent;
    if (i < n && (s[i] == QChar('E') || s[i] == QChar('e'))) {
        ++i;
        if (takeSign(s, i))
            exponent += '-';
        qsizetype firstDigit = i;
        while (i < n && isDigit(s[i]))
            exponent += char(s[i++].unicode());
        if (i == firstDigit)
            return false;
    }
    if (i != n)
        return false;
    std::string text = negative ? "-" : "";
    text += digits.empty() ? "0" : digits;
    if (!fraction.empty())
        text += "." + fraction;
    if (!exponent.empty())
        text += "e" + exponent;
    double v = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // Too large for a double: not a number the program can use. Too
        // small: zero of the sign.
        const bool huge = !exponent.empty() && exponent[0] != '-';
        if (huge)
            return false;
        v = negative ? -0.0 : 0.0;
    }
    if (!std::isfinite(v))
        return false;
    if (value)
        *value = v;
    return true;
}

bool parseInteger(const QString &s, int *value)
{
    const qsizetype n = s.size();
    qsizetype i = 0;
    const bool negative = takeSign(s, i);
    if (i >= n)
        return false;
    qsizetype hexStart = -1;
    if (s[i] == QChar('$') || s[i] == QChar('x') || s[i] == QChar('X'))
        hexStart = i + 1;
    else if (s[i] == QChar('0') && i + 1 < n && (s[i + 1] == QChar('x') || s[i + 1] == QChar('X')))
        hexStart = i + 2;
    if (hexStart >= 0) {
        const qsizetype count = n - hexStart;
        if (count < 1 || count > 8)
            return false;
        quint32 v = 0;
        for (qsizetype k = hexStart; k < n; ++k) {
            const int h = hexValue(s[k]);
            if (h < 0)
                return false;
            v = (v << 4) | quint32(h);
        }
        quint32 result = negative ? quint32(0) - v : v;
        *value = static_cast<int>(result);
        return true;
    }
    qint64 v = 0;
    for (qsizetype k = i; k < n; ++k) {
        if (!isDigit(s[k]))
            return false;
        v = v * 10 + (s[k].unicode() - '0');
        if (v > qint64(2147483648LL))
            return false;
    }
    if (negative)
        v = -v;
    if (v > 2147483647LL || v < -2147483648LL)
        return false;
    *value = static_cast<int>(v);
    return true;
}

} // namespace

QString Trim(const QString &text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    return (b == 0 && e == text.size()) ? text : text.mid(b, e - b);
}

void FreeStringList(std::unique_ptr<QStringList> &list)
{
    if (list) {
        list->clear();
        list.reset();
    }
}

QString EscapeSqlQuotes(const QString &text)
{
    QString out = text;
    out.replace(QChar('\''), QStringLiteral("''"));
    return out;
}

QString QuotedSql(const QString &text)
{
    return QChar('\'') + EscapeSqlQuotes(text) + QChar('\'');
}

QString JoinList(const QStringList *list, const QString &wrap, bool quoteSql)
{
    if (!list)
        return QString();
    QString result;
    for (const QString &item : *list) {
        result += wrap;
        result += quoteSql ? QuotedSql(item) : item;
        result += wrap;
        result += QChar(',');
    }
    return TrimChars(CharSets::JoinStrip, result);
}

QString JoinList(const QStringList &list, const QString &wrap, bool quoteSql)
{
    return JoinList(&list, wrap, quoteSql);
}

QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QChar('\r') && c != QChar('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QChar('\r') && i + 1 < n && text[i + 1] == QChar('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool IsFloatStr(const QString &text)
{
    const QString s = Trim(text);
    if (s.isEmpty())
        return false;
    return parseDecimal(ReplaceChar(s, QChar(','), QChar('.')), nullptr);
}

int StrToIntOr(const QString &text, int defaultValue)
{
    int v = 0;
    return parseInteger(Trim(text), &v) ? v : defaultValue;
}

double StrToFloatOr(const QString &text, double defaultValue)
{
    const QString s = Trim(text);
    double v = 0;
    if (s.isEmpty() || !parseDecimal(s, &v))
        return defaultValue;
    return v;
}

QString ReplaceChar(const QString &text, QChar find, QChar replacement)
{
    QString out = text;
    out.replace(find, replacement);
    return out;
}

QString TrimCharsLeft(const CharSet &set, const QString &text)
{
    qsizetype b = 0;
    while (b < text.size() && set.contains(text[b]))
        ++b;
    return text.mid(b);
}

QString TrimCharsRight(const CharSet &set, const QString &text)
{
    qsizetype e = text.size();
    while (e > 0 && set.contains(text[e - 1]))
        --e;
    return text.left(e);
}

QString TrimChars(const CharSet &set, const QString &text)
{
    return TrimCharsRight(set, TrimCharsLeft(set, text));
}

QString ExtractWord(const CharSet &delimiters, const QString &text, int wordNumber)
{
    QString result;
    if (text.isEmpty() || wordNumber < 1)
        return result;
    int counter = 0;
    bool inWord = false;
    for (QChar c : text) {
        if (delimiters.contains(c)) {
            if (inWord && counter == wordNumber)
                break;
            inWord = false;
            continue;
        }
        if (!inWord) {
            inWord = true;
            ++counter;
        }
        if (counter == wordNumber)
            result += c;
    }
    return result;
}

QString RepeatChar(int count, QChar c)
{
    return count > 0 ? QString(count, c) : QString();
}

bool BeginsWithNonDigit(const QString &text)
{
    const QString s = Trim(text);
    return !s.isEmpty() && !isDigit(s[0]);
}

namespace {

// The 15 significant digits of |value| and its decimal exponent. Rounded to
// nearest, unless that would step beyond the largest double: then cut, so
// that the text never reads back as infinity.
std::pair<std::string, int> digits15(double magnitude)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    // Only a text at the very top of the range (e+308) can read back as
    // infinity.
    const bool top = res.ptr - buf > 4 && std::string_view(res.ptr - 4, 4) == "+308";
    double back = 0;
    if (top && (std::from_chars(buf, res.ptr, back).ec == std::errc::result_out_of_range || !std::isfinite(back))) {
        res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 16);
        const std::string s(buf, res.ptr);
        const std::size_t ePos = s.find('e');
        return {s.substr(0, 1) + s.substr(2, 14), std::stoi(s.substr(ePos + 1))};
    }
    const std::string s(buf, res.ptr);
    const std::size_t ePos = s.find('e');
    return {s.substr(0, 1) + s.substr(2, ePos - 2), std::stoi(s.substr(ePos + 1))};
}

} // namespace

QString FormatFloat15(double value)
{
    if (value == 0 || std::isnan(value))
        return QStringLiteral("0");
    // An infinity stands for the largest number the text can hold.
    const double magnitude = std::isinf(value) ? std::numeric_limits<double>::max() : std::fabs(value);
    // 15 significant digits, whatever the C locale says.
    auto [digits, exponent] = digits15(magnitude);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out = value < 0 ? "-" : "";
    if (exponent >= -4 && exponent < 15) {
        if (exponent < 0) {
            out += "0." + std::string(std::size_t(-exponent - 1), '0') + digits;
        } else if (std::size_t(exponent) + 1 >= digits.size()) {
            out += digits + std::string(std::size_t(exponent) + 1 - digits.size(), '0');
        } else {
            out += digits.substr(0, std::size_t(exponent) + 1) + "." + digits.substr(std::size_t(exponent) + 1);
        }
    } else {
        out += digits.substr(0, 1);
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        out += "E" + std::to_string(exponent);
    }
    return QString::fromLatin1(out.c_str());
}
