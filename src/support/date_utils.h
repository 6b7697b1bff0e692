#pragma once
// Whether a typed text is a calendar date written as day, month, year; and
// how the system writes a moment.

#include <QString>

class QDateTime;

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
// The moment as the system's locale writes it: the short date, a space and
// the long time. Shown by the main window's clock and in a workbook's heading.
QString LocalDateTimeText(const QDateTime &when);
