#include "support/date_utils.h"

#include "support/str_utils.h"

#include <QDateTime>
#include <QLocale>

namespace {
constexpr int kShortYearPivot = 32;
}

bool ParseDateStr(const QString &text, int &year, int &month, int &day)
{
    year = month = day = 0;
    const QString s = Trim(text);
    if (s.isEmpty())
        return false;
    int fields[3] = {0, 0, 0};
    int numeric = 0;
    for (int k = 0; k < 3; ++k) {
        const QString word = Trim(ExtractWord(CharSets::DateSeparators, s, k + 1));
        if (IsFloatStr(word))
            ++numeric;
        fields[k] = StrToIntOr(word, 0);
    }
    day = fields[0];
    month = fields[1];
    year = fields[2];
    if (year < 100) {
        if (year == 0)
            year = numeric == 3 ? 2000 : 0;
        else if (year < kShortYearPivot)
            year += 2000;
        else
            year += 1900;
    }
    return IsValidDate(year, month, day);
}

bool IsValidDateStr(const QString &text)
{
    int y = 0, m = 0, d = 0;
    return ParseDateStr(text, y, m, d);
}

int DaysInMonth(int year, int month)
{
    if (year <= 0 || month < 1 || month > 12)
        return 0;
    if (month == 2) {
        const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        return leap ? 29 : 28;
    }
    if (month == 4 || month == 6 || month == 9 || month == 11)
        return 30;
    return 31;
}

bool IsValidDate(int year, int month, int day)
{
    return year >= MinDateYear() && year <= MaxDateYear && month >= 1 && month <= 12 && day >= 1
        && day <= DaysInMonth(year, month);
}

QString NormalizedDateStr(const QString &text)
{
    int y = 0, m = 0, d = 0;
    if (!ParseDateStr(text, y, m, d))
        return QString();
    return QStringLiteral("%1.%2.%3")
        .arg(d, 2, 10, QChar('0'))
        .arg(m, 2, 10, QChar('0'))
        .arg(y, 4, 10, QChar('0'));
}

QString LocalDateTimeText(const QDateTime &when)
{
    return LocalDateTimeText(when, QLocale::system());
}

QString LocalDateTimeText(const QDateTime &when, const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return when.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    return locale.toString(when.date(), QLocale::ShortFormat) + QChar(' ')
           + locale.toString(when.time(), QLocale::LongFormat);
}
