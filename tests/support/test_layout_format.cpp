#include "support/grid_layout_file.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

QByteArray common(const QByteArray &keys, const QByteArray &rest = QByteArray())
{
    return "[~~~COMMON]\r\nItsMe=~9977553311\r\n" + keys + "\r\n" + rest;
}

} // namespace

class TestLayoutFormat : public QObject {
    Q_OBJECT
private slots:
    // Keys a hand-made or foreign file leaves out read as their defaults.
    void missingKeysReadAsDefaults()
    {
        const auto layout = ParseGridLayout(common("ColCount=2\r\nRowCount=2\r\nCOL_1=90\r\n",
                                                   "[~~-^v-~COL_0]\r\na\r\nb\r\n[~~-^v-~COL_1]\r\nc\r\nd\r\n"));
        QVERIFY(layout);
        QCOMPARE(layout->fontName, QStringLiteral("MS Sans Serif"));
        QCOMPARE(layout->fontSize, 8);
        QCOMPARE(layout->defaultRowHeight, 0); // the grid keeps its own
        QCOMPARE(layout->colWidths, (std::vector<int>{0, 90}));
        QCOMPARE(layout->fixedRows, 0);
        QCOMPARE(layout->cells[1], (QStringList{"c", "d"}));
    }

    // More cells than the file has lines: refused before anything is
    // allocated, also where the product of the counts overflows 32 bits.
    void cellCountsBeyondTheFile_data()
    {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("lines");
        QTest::newRow("20000 x 20000 in 40 KB") << 20000 << 20000 << 40000;
        QTest::newRow("40000 x 40000") << 40000 << 40000 << 40000;
        QTest::newRow("65536 x 65536 wraps to 0") << 65536 << 65536 << 100;
        QTest::newRow("more cells than lines") << 10 << 10 << 90;
    }
    void cellCountsBeyondTheFile()
    {
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(int, lines);
        const QByteArray data = common(QStringLiteral("ColCount=%1\r\nRowCount=%2\r\n").arg(cols).arg(rows).toLatin1(),
                                       QByteArray(lines, '\n'));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!ParseGridLayout(data));
        QVERIFY(timer.elapsed() < 2000);
    }
};

QTEST_APPLESS_MAIN(TestLayoutFormat)
#include "test_layout_format.moc"
