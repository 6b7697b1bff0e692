#include "db/database_list.h"
#include "db/row_store.h"
#include "db/value_text.h"

#include <firebird/Interface.h>

#include <QTest>
#include <climits>
#include <cstring>

namespace {

ColumnInfo column(unsigned type, unsigned length, int scale = 0)
{
    ColumnInfo c;
    c.type = type;
    c.length = length;
    c.scale = scale;
    return c;
}

template <class T>
QByteArray bytesOf(T v)
{
    return QByteArray(reinterpret_cast<const char *>(&v), sizeof v);
}

CellRef cellOf(const QByteArray &bytes)
{
    return {false, bytes.constData(), unsigned(bytes.size())};
}

// A store of rows (VARCHAR(400) text, INTEGER number), as the client lays
// out such a message.
void resetTextAndNumber(RowStore &store)
{
    ColumnInfo text = column(SQL_VARYING, 402);
    text.nullOffset = 404;
    ColumnInfo number = column(SQL_LONG, 4);
    number.offset = 408;
    number.nullOffset = 412;
    store.reset({text, number});
}

void appendTextAndNumber(RowStore &store, const QByteArray &text, qint32 number)
{
    QByteArray message(416, '\0');
    const auto n = static_cast<unsigned short>(text.size());
    std::memcpy(message.data(), &n, 2);
    std::memcpy(message.data() + 2, text.constData(), std::size_t(text.size()));
    std::memcpy(message.data() + 408, &number, 4);
    store.append(reinterpret_cast<const unsigned char *>(message.constData()));
}

QByteArray timestamp(QDate date, QTime time)
{
    const ISC_DATE days = ISC_DATE(QDate(1858, 11, 17).daysTo(date));
    const ISC_TIME t = ISC_TIME(time.msecsSinceStartOfDay()) * 10;
    return bytesOf(days) + bytesOf(t);
}

} // namespace

Q_DECLARE_METATYPE(ColumnInfo)

class TestValues : public QObject {
    Q_OBJECT
private slots:
    void cellText_data()
    {
        QTest::addColumn<ColumnInfo>("col");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("scaled") << column(SQL_LONG, 4, -2) << bytesOf(qint32(1250)) << "" << "12.50";
        QTest::newRow("negative scaled") << column(SQL_LONG, 4, -2) << bytesOf(qint32(-5)) << "" << "-0.05";
        QTest::newRow("minimum integer") << column(SQL_INT64, 8) << bytesOf(qint64(LLONG_MIN)) << ""
                                         << "-9223372036854775808";
        QTest::newRow("minimum scaled") << column(SQL_INT64, 8, -3) << bytesOf(qint64(LLONG_MIN)) << ""
                                        << "-9223372036854775.808";
        QTest::newRow("short") << column(SQL_SHORT, 2) << bytesOf(qint16(-32768)) << "" << "-32768";
        QTest::newRow("double") << column(SQL_DOUBLE, 8) << bytesOf(-1e20) << "" << "-1E20";
        QTest::newRow("cyrillic") << column(SQL_VARYING, 20) << QByteArray("\xd1\xea\xeb\xe0\xe4 \xb9\x31") << ""
                                  << "Склад №1";
        QTest::newRow("date before 1858") << column(SQL_TIMESTAMP, 8) << timestamp(QDate(1582, 1, 1), QTime())
                                          << "dd.mm.yyyy" << "01.01.1582";
        QTest::newRow("date before 1900 with time") << column(SQL_TIMESTAMP, 8)
                                                    << timestamp(QDate(1899, 12, 31), QTime(23, 59, 58)) << ""
                                                    << "31.12.1899 23:59:58";
        QTest::newRow("year 9999") << column(SQL_TIMESTAMP, 8) << timestamp(QDate(9999, 12, 31), QTime()) << ""
                                   << "31.12.9999";
        QTest::newRow("after 9999") << column(SQL_TIMESTAMP, 8) << timestamp(QDate(10000, 1, 2), QTime())
                                    << "dd.mm.yyyy" << "02.01.10000";
        QTest::newRow("date only") << column(SQL_TYPE_DATE, 4) << bytesOf(ISC_DATE(0)) << "" << "17.11.1858";
        QTest::newRow("format with minutes") << column(SQL_TIMESTAMP, 8)
                                             << timestamp(QDate(2005, 2, 1), QTime(10, 7)) << "dd.mm.yyyy hh:nn"
                                             << "01.02.2005 10:07";
    }
    void cellText()
    {
        QFETCH(ColumnInfo, col);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, format);
        QFETCH(QString, text);
        QCOMPARE(CellText(col, cellOf(bytes), format), text);
    }

    void nullsAndTypedValues()
    {
        const CellRef null;
        for (unsigned type : {SQL_LONG, SQL_VARYING, SQL_TIMESTAMP, SQL_DOUBLE}) {
            QCOMPARE(CellText(column(type, 8), null, QString()), QString());
            QVERIFY(!CellValue(column(type, 8), null).isValid());
            QCOMPARE(CellInteger(column(type, 8), null), 0);
        }
        const QByteArray ts = timestamp(QDate(2005, 2, 1), QTime(10, 30));
        QCOMPARE(CellValue(column(SQL_TIMESTAMP, 8), cellOf(ts)).toDateTime(),
                 QDateTime(QDate(2005, 2, 1), QTime(10, 30), Qt::UTC));
        QCOMPARE(CellValue(column(SQL_LONG, 4), cellOf(bytesOf(qint32(7)))).typeId(), QMetaType::LongLong);
        QCOMPARE(CellValue(column(SQL_LONG, 4, -1), cellOf(bytesOf(qint32(-25)))).toDouble(), -2.5);
        QCOMPARE(CellInteger(column(SQL_DOUBLE, 8), cellOf(bytesOf(2.6))), 3);
        QCOMPARE(CellInteger(column(SQL_DOUBLE, 8), cellOf(bytesOf(1e300))), 0);
        QCOMPARE(CellInteger(column(SQL_VARYING, 8), cellOf("42")), 42);
    }

    // Texts of 128 bytes and more take a two-byte length in the row store;
    // the cells after them must still be found.
    void rowStoreLongTexts()
    {
        RowStore store;
        resetTextAndNumber(store);
        for (int len : {0, 127, 128, 300, 400})
            appendTextAndNumber(store, QByteArray(len, char('a' + len % 26)), len * 10);
        const ColumnInfo number = store.columns()[1];
        int row = 0;
        for (int len : {0, 127, 128, 300, 400}) {
            const CellRef t = store.cell(std::size_t(row), 0);
            QCOMPARE(int(t.size), len);
            QCOMPARE(QByteArray(t.data, len), QByteArray(len, char('a' + len % 26)));
            QCOMPARE(CellInteger(number, store.cell(std::size_t(row), 1)), qint64(len * 10));
            ++row;
        }
    }

    // Past the memory limit older blocks of rows go to a temporary file and
    // come back when asked for; without a usable temporary folder they stay
    // in memory. Either way every row reads back as it was appended.
    void rowStoreWritesOutOldBlocks_data()
    {
        QTest::addColumn<bool>("tempWritable");
        QTest::newRow("written out") << true;
        QTest::newRow("no temporary folder") << false;
    }

    void rowStoreWritesOutOldBlocks()
    {
        QFETCH(bool, tempWritable);
        RowStore store;
        store.setResidentLimit(2 * RowStore::kBlockSize);
        if (!tempWritable)
            store.setSpillFolder(QStringLiteral("/nonexistent/vrkx"));
        resetTextAndNumber(store);
        auto text = [](int i) { return QByteArray::number(i).repeated(1 + i % 60); };
        const int rows = 40000; // about 6 MB
        for (int i = 0; i < rows; ++i)
            appendTextAndNumber(store, text(i), i);
        QVERIFY(store.bytesUsed() > 5 * RowStore::kBlockSize);
        if (tempWritable)
            QVERIFY(store.residentBytes() <= 2 * RowStore::kBlockSize);
        else
            QVERIFY(store.residentBytes() >= store.bytesUsed());
        const ColumnInfo number = store.columns()[1];
        // Back and forth across blocks, field by field.
        for (int k = 0; k < rows; ++k) {
            const int i = (k * 7919) % rows;
            const CellRef t = store.cell(std::size_t(i), 0);
            QCOMPARE(QByteArray(t.data, qsizetype(t.size)), text(i));
            QCOMPARE(CellInteger(number, store.cell(std::size_t(i), 1)), qint64(i));
        }
    }

    void databaseListRows_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("entry");
        QTest::newRow("alias only") << QStringList{"", " A1 ", "", "", ""}
                                    << QStringList{"", "A1", "", "VELDARUNKX", "qzmt"};
        QTest::newRow("full row") << QStringList{" Склад ", "S", " /d/s.gdb ", " ivan ", " pw "}
                                  << QStringList{"Склад", "S", "/d/s.gdb", "ivan", "pw"};
        QTest::newRow("short row") << QStringList{"x"} << QStringList{"x", "", "", "VELDARUNKX", "qzmt"};
    }
    void databaseListRows()
    {
        QFETCH(QStringList, cells);
        QFETCH(QStringList, entry);
        const DatabaseEntry e = DatabaseEntryFromRow(cells);
        QCOMPARE((QStringList{e.About_DB, e.AliasBDE5, e.FullFileNameGDB, e.USER_NAME, e.PASSWORD}), entry);
    }
};

QTEST_APPLESS_MAIN(TestValues)
#include "test_values.moc"
