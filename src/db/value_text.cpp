#include "db/value_text.h"

#include "support/codec_1251.h"
#include "support/str_utils.h"

#include <firebird/Interface.h>

#include <QDateTime>
#include <cmath>
#include <cstring>

namespace {

template <class T>
T load(const char *p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

bool isIntegerType(unsigned t)
{
    return t == SQL_SHORT || t == SQL_LONG || t == SQL_INT64;
}

bool isFloatType(unsigned t)
{
    return t == SQL_FLOAT || t == SQL_DOUBLE || t == SQL_D_FLOAT;
}

qint64 integerValue(const ColumnInfo &col, const char *p)
{
    switch (col.type) {
    case SQL_SHORT:
        return load<qint16>(p);
    case SQL_LONG:
        return load<qint32>(p);
    default:
        return load<qint64>(p);
    }
}

double floatValue(const ColumnInfo &col, const char *p)
{
    if (col.type == SQL_FLOAT)
        return load<float>(p);
    if (col.type == SQL_DOUBLE || col.type == SQL_D_FLOAT)
        return load<double>(p);
    return double(integerValue(col, p)) * std::pow(10.0, col.scale);
}

// "dd.mm.yyyy hh:nn:ss" style to Qt's "dd.MM.yyyy hh:mm:ss".
QString qtDateFormat(const QString &format)
{
    QString out;
    QChar lastToken;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype j = i;
        while (j < format.size() && format[j].toLower() == c.toLower())
            ++j;
        const qsizetype run = j - i;
        const QChar lc = c.toLower();
        QChar q = c;
        if (lc == QChar('m'))
            q = lastToken == QChar('h') ? QChar('m') : QChar('M');
        else if (lc == QChar('n'))
            q = QChar('m');
        else if (lc == QChar('d') || lc == QChar('y') || lc == QChar('h') || lc == QChar('s') || lc == QChar('z'))
            q = lc;
        out += QString(run, q);
        if (lc.isLetter())
            lastToken = lc;
        i = j;
    }
    return out;
}

} // namespace

FieldKind KindOfColumn(const ColumnInfo &col)
{
    switch (col.type) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return col.scale == 0 ? FieldKind::Integer : FieldKind::Float;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return FieldKind::Float;
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
        return FieldKind::DateTime;
    case SQL_BLOB:
        return FieldKind::Memo;
    default:
        return FieldKind::Text;
    }
}

QDate DateFromIsc(int days)
{
    // Day 0 of the engine's calendar is 17 November 1858.
    return QDate(1858, 11, 17).addDays(days);
}

QTime TimeFromIsc(unsigned time)
{
    return QTime::fromMSecsSinceStartOfDay(int(time / 10));
}

QString ScaledIntegerText(qint64 v, int scale)
{
    if (scale >= 0)
        return QString::number(v);
    const bool negative = v < 0;
    // The magnitude as unsigned: the minimum integer has no positive twin.
    const quint64 magnitude = negative ? quint64(0) - quint64(v) : quint64(v);
    QString digits = QString::number(magnitude);
    const int places = -scale;
    if (digits.size() <= places)
        digits = QString(places - digits.size() + 1, QChar('0')) + digits;
    digits.insert(digits.size() - places, QChar('.'));
    return negative ? QChar('-') + digits : digits;
}

QString DateTimeText(const QString &format, QDate date, QTime time)
{
    // The format the program uses everywhere is written directly: it is the
    // one every grid row asks for.
    if (format == QLatin1String("dd.mm.yyyy") && date.year() >= 0 && date.year() <= 9999) {
        char buf[10];
        const int d = date.day(), m = date.month(), y = date.year();
        buf[0] = char('0' + d / 10);
        buf[1] = char('0' + d % 10);
        buf[2] = '.';
        buf[3] = char('0' + m / 10);
        buf[4] = char('0' + m % 10);
        buf[5] = '.';
        buf[6] = char('0' + y / 1000);
        buf[7] = char('0' + y / 100 % 10);
        buf[8] = char('0' + y / 10 % 10);
        buf[9] = char('0' + y % 10);
        return QString::fromLatin1(buf, 10);
    }
    // UTC: the value is shown as stored, with no time zone applied.
    return QDateTime(date, time, Qt::UTC).toString(qtDateFormat(format));
}

QString CellText(const ColumnInfo &col, const CellRef &cell, const QString &displayFormat)
{
    if (cell.isNull)
        return QString();
    switch (col.type) {
    case SQL_VARYING:
    case SQL_TEXT:
        return Cp1251::decode(cell.data, cell.size);
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return ScaledIntegerText(integerValue(col, cell.data), col.scale);
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return FormatFloat15(floatValue(col, cell.data));
    case SQL_TIMESTAMP: {
        const QDate date = DateFromIsc(load<ISC_DATE>(cell.data));
        const ISC_TIME time = load<ISC_TIME>(cell.data + sizeof(ISC_DATE));
        QString format = displayFormat;
        if (format.isEmpty())
            format = time == 0 ? QStringLiteral("dd.mm.yyyy") : QStringLiteral("dd.mm.yyyy hh:nn:ss");
        return DateTimeText(format, date, TimeFromIsc(time));
    }
    case SQL_TYPE_DATE:
        return DateTimeText(displayFormat.isEmpty() ? QStringLiteral("dd.mm.yyyy") : displayFormat,
                            DateFromIsc(load<ISC_DATE>(cell.data)), QTime(0, 0));
    case SQL_TYPE_TIME:
        return TimeFromIsc(load<ISC_TIME>(cell.data)).toString(QStringLiteral("hh:mm:ss"));
    case SQL_BOOLEAN:
        return *cell.data ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return QString();
    }
}

QVariant CellValue(const ColumnInfo &col, const CellRef &cell)
{
    if (cell.isNull)
        return QVariant();
    switch (col.type) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        if (col.scale == 0)
            return QVariant::fromValue(integerValue(col, cell.data));
        return floatValue(col, cell.data);
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return floatValue(col, cell.data);
    case SQL_TIMESTAMP:
        return QDateTime(DateFromIsc(load<ISC_DATE>(cell.data)),
                         TimeFromIsc(load<ISC_TIME>(cell.data + sizeof(ISC_DATE))), Qt::UTC);
    case SQL_TYPE_DATE:
        return DateFromIsc(load<ISC_DATE>(cell.data));
    default:
        return CellText(col, cell, QString());
    }
}

qint64 CellInteger(const ColumnInfo &col, const CellRef &cell)
{
    if (cell.isNull)
        return 0;
    if (isIntegerType(col.type) && col.scale == 0)
        return integerValue(col, cell.data);
    if (isIntegerType(col.type) || isFloatType(col.type)) {
        const double d = std::round(floatValue(col, cell.data));
        return std::isfinite(d) && std::fabs(d) < 9.2e18 ? qint64(d) : 0;
    }
    return StrToIntOr(CellText(col, cell, QString()), 0);
}
