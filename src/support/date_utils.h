#pragma once
// Whether a typed text is a calendar date written as day, month, year.

#include <QString>

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
