#pragma once
// String routines shared by the whole program. None shows a message or
// throws: a routine that cannot do its work returns an empty text, the
// caller's default, false or 0.

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>

// A set of characters for TrimChars and ExtractWord.
class CharSet {
public:
    CharSet() = default;
    CharSet(std::initializer_list<QChar> chars) : chars_(chars.begin(), qsizetype(chars.size())) {}
    explicit CharSet(const QString &chars) : chars_(chars) {}
    bool contains(QChar c) const { return chars_.contains(c); }

private:
    QString chars_;
};

// The character sets the program passes.
namespace CharSets {
inline const CharSet Blank{QChar(' ')};
inline const CharSet JoinStrip{QChar(' '), QChar(',')};
inline const CharSet IdStrip{QChar(' '), QChar('"'), QChar('\'')};
inline const CharSet QuoteStrip{QChar('"'), QChar('\'')};
inline const CharSet DateSeparators{QChar(' '), QChar('-'), QChar('.'), QChar('/'), QChar(':'),
                                    QChar('\\'), QChar(0x044E)};
} // namespace CharSets

// Removes every leading and trailing character with a code from 0 to 32.
QString Trim(const QString &text);

void FreeStringList(std::unique_ptr<QStringList> &list);
QString JoinList(const QStringList *list, const QString &wrap, bool quoteSql);
QString JoinList(const QStringList &list, const QString &wrap, bool quoteSql);
// The text between single quotes with every single quote inside doubled.
QString QuotedSql(const QString &text);
// Every single quote doubled, for pasting between quotes the caller writes.
QString EscapeSqlQuotes(const QString &text);

// Splits a text into lines at CR, LF or CR LF; a final line break ends the
// last line rather than starting an empty one.
QStringList SplitLines(const QString &text);

bool IsFloatStr(const QString &text);
int StrToIntOr(const QString &text, int defaultValue);
double StrToFloatOr(const QString &text, double defaultValue);

QString ReplaceChar(const QString &text, QChar find, QChar replacement);
QString TrimChars(const CharSet &set, const QString &text);
QString TrimCharsLeft(const CharSet &set, const QString &text);
QString TrimCharsRight(const CharSet &set, const QString &text);
QString ExtractWord(const CharSet &delimiters, const QString &text, int wordNumber);
QString RepeatChar(int count, QChar c);
bool BeginsWithNonDigit(const QString &text);

// A number as the program writes it into SQL and shows it: at most 15
// significant digits, no trailing zeros, "." as the decimal separator
// whatever the locale, no grouping; plain notation for magnitudes from
// 0.0001 up to below 1E15, otherwise one digit, the rest after ".", "E" and
// the exponent ("1E15", "2.5E-6"). Zero is "0".
QString FormatFloat15(double value);
