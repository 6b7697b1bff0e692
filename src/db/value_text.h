#pragma once
// What a value fetched from the store reads as: text for grids and pages,
// typed values for workbooks, integers for flags. Plain functions of a
// column's description and the cell's bytes as the row store keeps them.

#include "db/row_store.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>

enum class FieldKind { Integer, Text, DateTime, Memo, Float, Calculated };

// The field kind a result column gets when nobody defined one.
FieldKind KindOfColumn(const ColumnInfo &column);

// The engine's day numbers and times of day (1/10000 s).
QDate DateFromIsc(int days);
QTime TimeFromIsc(unsigned time);

// An integer with a decimal scale (-2: two digits after the point), exact
// for every 64-bit value.
QString ScaledIntegerText(qint64 value, int scale);
// A date and time in a display format such as "dd.mm.yyyy" or
// "dd.mm.yyyy hh:nn:ss" ("m" after "h" and "n" are minutes).
QString DateTimeText(const QString &format, QDate date, QTime time);

// The text of a non-blob cell: "" for NULL; numbers with "." as decimal
// separator; dates in the display format, or without one as the date and,
// when it is not midnight, the time. A blob cell gives "": its text is read
// from the store on request.
QString CellText(const ColumnInfo &column, const CellRef &cell, const QString &displayFormat);
// Typed: qint64 for integers, double for numbers and scaled integers,
// QDateTime (UTC, as stored) for timestamps, QDate for dates, QString for
// texts; an invalid QVariant for NULL.
QVariant CellValue(const ColumnInfo &column, const CellRef &cell);
// The cell as an integer: 0 for NULL, numbers rounded, text read as a
// decimal integer (0 when it is none).
qint64 CellInteger(const ColumnInfo &column, const CellRef &cell);
