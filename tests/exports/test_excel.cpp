// The spreadsheet routines' calls, recorded.

#include "common/spreadsheet_checks.h"
#include "exports/automation.h"
#include "exports/excel.h"
#include "support/app_error.h"

#include <QTest>

namespace {

std::shared_ptr<RecordingBackend> recorder;

void useRecorder(int sheets = 3)
{
    recorder = std::make_shared<RecordingBackend>(sheets);
    SetAutomationServer([](const QString &) { return recorder; });
}

} // namespace

class TestExcel : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetAutomationServer({}); }

    void getSheet_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("assigned");
        QTest::newRow("0") << 0 << false;
        QTest::newRow("first") << 1 << true;
        QTest::newRow("last") << 3 << true;
        QTest::newRow("above the count") << 4 << false;
    }
    void getSheet()
    {
        QFETCH(int, index);
        QFETCH(bool, assigned);
        useRecorder();
        QVariant app, sheet = 1;
        ExcelStart(false, true, app);
        ExcelGetSheet(app, index, sheet);
        QCOMPARE(VariantAssigned(sheet), assigned);
        // With no sheet every write does nothing.
        QCOMPARE(ExcelWriteCell(sheet, 1, 1, true, true, true, "x", 0, 0, 0, false, 1, 2), assigned);
        QCOMPARE(ExcelWriteRange(sheet, 1, 1, 1, 1, VarArrayCreate(1, 1)), assigned);
    }

    void writeRange_data()
    {
        QTest::addColumn<QList<int>>("bounds");
        QTest::addColumn<bool>("twoDimensions");
        QTest::addColumn<QString>("range");
        QTest::newRow("all bounds") << QList<int>{8, 1, 8, 19} << false << "Range(Cells(8,1),Cells(8,19))";
        QTest::newRow("a bound of 0: the array's") << QList<int>{0, 5, 5, 5} << true << "Range(Cells(1,1),Cells(2,3))";
        QTest::newRow("a bound of 0, one dimension") << QList<int>{8, 0, 8, 19} << false << "";
        QTest::newRow("rows the wrong way") << QList<int>{9, 1, 8, 1} << false << "";
    }
    void writeRange()
    {
        QFETCH(QList<int>, bounds);
        QFETCH(bool, twoDimensions);
        QFETCH(QString, range);
        useRecorder();
        QVariant app, sheet;
        ExcelStart(false, true, app);
        ExcelGetSheet(app, 1, sheet);
        recorder->calls.clear();
        const QVariant values = twoDimensions ? VarArrayCreate2(1, 2, 1, 3) : VarArrayCreate(1, 19);
        QCOMPARE(ExcelWriteRange(sheet, bounds[0], bounds[1], bounds[2], bounds[3], values), !range.isEmpty());
        QCOMPARE(recorder->calls.filter(".Value = ").value(0).section(".Value = ", 0, 0),
                 range.isEmpty() ? "" : "Sheet1." + range);
        int rows = 0, cols = 0;
        QCOMPARE(VariantArraySize(values, rows, cols), twoDimensions);
    }

    void cellSettingsInOrder()
    {
        useRecorder();
        QVariant app, sheet;
        ExcelStart(false, true, app);
        ExcelGetSheet(app, 1, sheet);
        recorder->calls.clear();
        QVERIFY(ExcelWriteCell(sheet, 7, 2, true, true, false, "'Тип", 0, 0, 0xFFFFFF, false, 1, 2));
        QCOMPARE(recorder->calls, CellCalls(7, 2, "'Тип", 0, 0, true, true));
        recorder->calls.clear();
        ExcelWriteCell(sheet, 1, 1, false, false, false, "x", 7, 0x808080, NO_INTERIOR_COLOR, false, 1, 2);
        QVERIFY(recorder->calls.filter("Interior").isEmpty()); // the interior left alone
        QVERIFY(!recorder->calls.filter("Font.Size = 7").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestExcel)
#include "test_excel.moc"
