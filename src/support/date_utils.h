#pragma once
// Whether a typed text is a calendar date written as day, month, year; and
// how the system writes a moment.

#include <QString>

class QDateTime;
class QLocale;

constexpr int MinDateYear()
{
    return 1582;
}
constexpr int MaxDateYear = 3100;

bool ParseDateStr(const QString &text, int &year, int &month, int &day);
bool IsValidDateStr(const QString &text);
bool IsValidDate(int year, int month, int day);
int DaysInMonth(int year, int month);
// The date a valid text stands for, written as dd.mm.yyyy; empty when the
// text is not a date. This is the form the database reads unambiguously.
QString NormalizedDateStr(const QString &text);
// The moment as the locale (the system's unless given) writes it: the short
// date, a space and the long time. Where the system has no language of its
// own (the locale C, or POSIX), the program's Russian form: "dd.MM.yyyy
// hh:mm:ss". Shown by the main window's clock and in a workbook's heading.
QString LocalDateTimeText(const QDateTime &when);
QString LocalDateTimeText(const QDateTime &when, const QLocale &locale);
