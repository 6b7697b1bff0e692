#include "widgets/grid_utils.h"
#include "support/str_utils.h"
#include "widgets/string_grid.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

namespace {

// A grid of one header row and the given data rows, one column per text.
void fill(StringGrid &grid, const QList<QStringList> &rows)
{
    grid.setRowCount(int(rows.size()));
    grid.setColCount(rows.isEmpty() ? 0 : int(rows[0].size()));
    grid.setFixedRows(1);
    for (int r = 0; r < rows.size(); ++r)
        grid.setRowTexts(r, rows[r]);
}

QList<QStringList> contents(const StringGrid &grid)
{
    QList<QStringList> out;
    for (int r = 0; r < grid.rowCount(); ++r)
        out.append(grid.rowTexts(r));
    return out;
}

} // namespace

class TestGrid : public QObject {
    Q_OBJECT
private slots:
    void sizeColumnByCharacters_data()
    {
        QTest::addColumn<int>("longest");
        QTest::addColumn<int>("minChars");
        QTest::addColumn<int>("maxChars");
        QTest::addColumn<int>("used");
        QTest::newRow("150 chars -> 101") << 150 << 0 << 0 << 101;
        QTest::newRow("empty -> 2") << 0 << 0 << 0 << 2;
        QTest::newRow("ten -> 11") << 10 << 0 << 0 << 11;
        QTest::newRow("minimum raises") << 3 << 8 << 0 << 9;
        QTest::newRow("maximum lowers") << 40 << 2 << 20 << 21;
        QTest::newRow("maximum below minimum") << 40 << 12 << 5 << 41;
    }
    void sizeColumnByCharacters()
    {
        QFETCH(int, longest);
        QFETCH(int, minChars);
        QFETCH(int, maxChars);
        QFETCH(int, used);
        StringGrid grid;
        fill(grid, {{QStringLiteral("h")}, {RepeatChar(longest, QChar('x'))}});
        grid.setCell(0, 0, QString());
        const int result = GridSizeColumn(&grid, 0, minChars, maxChars, QChar('A'));
        QCOMPARE(result, used);
        const int width = grid.textWidth(RepeatChar(used, QChar('A')));
        const int screen = grid.screen()->geometry().width();
        QCOMPARE(grid.colWidth(0), width > screen / 2 ? screen / 2 + screen / 4 : width);
    }

    void wideColumnTakesThreeQuartersOfScreen()
    {
        StringGrid grid;
        fill(grid, {{RepeatChar(100, QChar('W'))}});
        const int screen = grid.screen()->geometry().width();
        QVERIFY(grid.textWidth(RepeatChar(101, QChar('A'))) > screen / 2);
        GridSizeColumn(&grid, 0, 0, 0, QChar('A'));
        QCOMPARE(grid.colWidth(0), screen / 2 + screen / 4);
    }

    void sizeColumnByPixels()
    {
        StringGrid grid;
        fill(grid, {{QStringLiteral("ab")}, {QStringLiteral("abcdef")}});
        QCOMPARE(GridSizeColumn(&grid, 0, 0, 0, QChar(0)), 6);
        QCOMPARE(grid.colWidth(0), grid.textWidth("w") + grid.textWidth("abcdef"));
        QCOMPARE(GridSizeColumn(&grid, 5, 0, 0, QChar('A')), 0);
        QCOMPARE(GridSizeColumn(nullptr, 0, 0, 0, QChar('A')), 0);
    }

    void fitColumnsAndRowHeight()
    {
        StringGrid grid;
        fill(grid, {{"Опер.", "Свойство"}, {"И", ""}});
        grid.setDefaultRowHeight(40);
        QVERIFY(GridFitColumns(&grid));
        QCOMPARE(grid.colWidth(0), grid.textWidth(RepeatChar(6, QChar('A'))));
        QCOMPARE(grid.colWidth(1), grid.textWidth(RepeatChar(9, QChar('A'))));
        // With a minimum of 0 the row height never shrinks.
        QCOMPARE(grid.defaultRowHeight(), 40);
        grid.setDefaultRowHeight(2);
        GridFitRowHeight(&grid, 0, false, QChar('A'));
        const int h = grid.textHeight("A");
        QCOMPARE(grid.defaultRowHeight(), h + h / 8);
        QVERIFY(!GridFitColumns(nullptr));
        QCOMPARE(GridAutoSizeColumns(nullptr, false, QChar('A')), 0);
    }

    void hideWhileSizingRestoresVisibility()
    {
        QWidget parent;
        auto *grid = new StringGrid(&parent);
        fill(*grid, {{"a"}});
        parent.show();
        QVERIFY(grid->isVisible());
        QCOMPARE(GridAutoSizeColumns(grid, true, QChar('A')), 1);
        QVERIFY(grid->isVisible());
        grid->hide();
        GridFitColumns(grid, true, 0, QChar('A'), QChar('A'));
        QVERIFY(grid->isHidden());
    }

    void insertRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("column");
        QTest::newRow("fixed row") << 0 << false << QStringList{"H", "a", "b", "c"};
        QTest::newRow("beyond last") << 4 << false << QStringList{"H", "a", "b", "c"};
        QTest::newRow("first data row") << 1 << true << QStringList{"H", "", "a", "b", "c"};
        QTest::newRow("last row") << 3 << true << QStringList{"H", "a", "b", "", "c"};
    }
    void insertRow()
    {
        QFETCH(int, row);
        QFETCH(bool, ok);
        QFETCH(QStringList, column);
        StringGrid grid;
        fill(grid, {{"H", "h2"}, {"a", "a2"}, {"b", "b2"}, {"c", "c2"}});
        QCOMPARE(GridInsertRow(&grid, row), ok);
        QCOMPARE(grid.colTexts(0), column);
        QCOMPARE(grid.rowCount(), int(column.size()));
    }

    void deleteRow()
    {
        StringGrid grid;
        fill(grid, {{"H"}, {"a"}, {"b"}, {"c"}});
        QVERIFY(GridDeleteRow(&grid, 2));
        QCOMPARE(contents(grid), (QList<QStringList>{{"H"}, {"a"}, {"c"}}));
        QVERIFY(GridDeleteRow(&grid, 1));
        QVERIFY(GridDeleteRow(&grid, 1));
        // The only data row is emptied, not removed.
        QCOMPARE(contents(grid), (QList<QStringList>{{"H"}, {""}}));
        QVERIFY(GridDeleteRow(&grid, 1));
        QCOMPARE(grid.rowCount(), 2);
        QVERIFY(!GridDeleteRow(nullptr, 1));
    }

    void addRow()
    {
        StringGrid grid;
        fill(grid, {{"H", "h"}, {"a", "b"}});
        grid.setCurrentCell(1, 1);
        QCOMPARE(GridAddRow(&grid, true), 3);
        QCOMPARE(grid.currentRow(), 2);
        QCOMPARE(grid.rowTexts(2), (QStringList{"", ""}));
        QCOMPARE(GridAddRow(&grid, false), 4);
        QCOMPARE(grid.currentRow(), 2);
        QCOMPARE(GridAddRow(nullptr, true), 0);
    }

    void fixedCellsAreNotEditedOrCurrent()
    {
        StringGrid grid;
        fill(grid, {{"H", "h"}, {"a", "b"}});
        grid.setFixedCols(1);
        grid.setEditable(true);
        grid.setCurrentCell(0, 0);
        QCOMPARE(grid.currentRow(), 1);
        QCOMPARE(grid.currentCol(), 1);
        QVERIFY(grid.isFixed(0, 1));
        QVERIFY(!grid.isFixed(1, 1));
    }

    void columnAndRowLists()
    {
        StringGrid grid;
        fill(grid, {{"a", "b"}, {"c", "d"}});
        grid.setColTexts(1, {"x", "y", "z-ignored"});
        QCOMPARE(grid.colTexts(1), (QStringList{"x", "y"}));
        grid.setRowTexts(1, {"p"});
        QCOMPARE(grid.rowTexts(1), (QStringList{"p", "y"}));
        QCOMPARE(grid.fontName(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(grid.fontSize(), 8);
    }
};

QTEST_MAIN(TestGrid)
#include "test_grid.moc"
