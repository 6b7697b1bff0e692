#include "exports/sheet_text.h"

namespace {

bool isHex(QChar c)
{
    return (c >= QChar('0') && c <= QChar('9')) || (c >= QChar('a') && c <= QChar('f'))
           || (c >= QChar('A') && c <= QChar('F'));
}

// "_x" at i begins a sequence readers decode: "_xHHHH_".
bool escapeAt(const QString &s, qsizetype i)
{
    if (i + 7 > s.size() || s[i] != QChar('_') || s[i + 1] != QChar('x') || s[i + 6] != QChar('_'))
        return false;
    for (qsizetype k = i + 2; k < i + 6; ++k)
        if (!isHex(s[k]))
            return false;
    return true;
}

// A character XML cannot carry: a control character but tab, line feed and
// carriage return, U+FFFE, U+FFFF, or half of a surrogate pair without the
// other half (at i, for a high half).
bool notXml(const QString &s, qsizetype i)
{
    const char16_t u = s[i].unicode();
    if (u < 0x20)
        return u != '\t' && u != '\n' && u != '\r';
    if (s[i].isHighSurrogate())
        return i + 1 >= s.size() || !s[i + 1].isLowSurrogate();
    if (s[i].isLowSurrogate())
        return i == 0 || !s[i - 1].isHighSurrogate();
    return u == 0xFFFE || u == 0xFFFF;
}

} // namespace

QString SheetText(const QString &text, bool *changed)
{
    if (changed)
        *changed = false;
    // Most texts are stored as they are: looked at once, not copied.
    qsizetype i = 0;
    while (i < text.size() && !notXml(text, i) && !(text[i] == QChar('_') && escapeAt(text, i)))
        ++i;
    if (i == text.size() && text.size() <= kCellTextMax)
        return text;
    // The workbook library counts the escapes in the cell's limit too: a
    // text with escapes is cut a little shorter. A pair of surrogates is cut
    // whole or not at all.
    QString out = text.left(i);
    out.reserve(std::min<qsizetype>(text.size(), kCellTextMax));
    bool differs = false;
    for (; i < text.size(); ++i) {
        const bool bad = notXml(text, i);
        const bool pair = !bad && text[i].isHighSurrogate();
        const bool escape = !bad && text[i] == QChar('_') && escapeAt(text, i);
        const qsizetype size = escape ? 7 : pair ? 2 : 1;
        if (out.size() + size > kCellTextMax) {
            differs = true;
            break;
        }
        if (bad) {
            out += QChar('?');
            differs = true;
        } else if (escape) {
            out += QLatin1String("_x005F_");
        } else {
            out += text[i];
            if (pair)
                out += text[++i];
        }
    }
    if (out.size() > kCellTextMax) { // the clean start was longer than a cell
        out.truncate(kCellTextMax);
        if (out.back().isHighSurrogate())
            out.chop(1);
        differs = true;
    }
    if (changed)
        *changed = differs;
    return out;
}
