// The spreadsheet routines and the export's calls, recorded.

#include "common/modal_answerer.h"
#include "common/test_store.h"
#include "db/db_connection.h"
#include "results/automation.h"
#include "results/excel.h"
#include "results/result_window.h"
#include "support/app_error.h"

#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

std::shared_ptr<RecordingBackend> recorder;

void useRecorder(int sheets = 3)
{
    recorder = std::make_shared<RecordingBackend>(sheets);
    SetAutomationServer([](const QString &) { return recorder; });
}

// The ten settings of one cell, as the routine makes them.
QStringList cellCalls(int row, int col, const QString &text, int size, qint64 color, bool bold, bool borders)
{
    const QString cell = QStringLiteral("Sheet1.Cells(%1,%2)").arg(row).arg(col);
    QStringList calls;
    auto set = [&](const QString &what, const QString &value) {
        calls << "get " + cell << cell + what + " = " + value;
    };
    set(".HorizontalAlignment", "2");
    set(".VerticalAlignment", "1");
    auto font = [&](const QString &what, const QString &value) {
        calls << "get " + cell << "get " + cell + ".Font" << cell + ".Font." + what + " = " + value;
    };
    font("Color", QString::number(color));
    font("Bold", bold ? "true" : "false");
    font("Italic", "false");
    if (size > 0)
        font("Size", QString::number(size));
    set(".WrapText", "false");
    set(".Value", '"' + text + '"');
    for (int i = 1; borders && i <= 4; ++i)
        for (const char *p : {"LineStyle", "Weight"})
            calls << "get " + cell << QStringLiteral("get %1.Borders(%2)").arg(cell).arg(i)
                  << QStringLiteral("%1.Borders(%2).%3 = %4").arg(cell).arg(i).arg(p).arg(QLatin1String(p) == QLatin1String("Weight") ? 2 : 1);
    calls << "get " + cell << "get " + cell + ".Interior" << cell + ".Interior.Color = 16777215";
    return calls;
}

const QStringList kStart{"CreateObject(\"Excel.Application\")", "Visible = true", "get Workbooks", "Workbooks.Add(<omitted>)",
                         "get ActiveWorkBook", "get ActiveWorkBook.WorkSheets", "get ActiveWorkBook.WorkSheets.Count",
                         "get ActiveWorkBook", "get ActiveWorkBook.WorkSheets(1)"};

} // namespace

class TestExcel : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    DbConnection conn_;

private slots:
    void initTestCase()
    {
        conn_.setDatabaseName(MakeTestStore(dir_.path(), "excel.fdb", [](StoreWriter &w) {
            AddType(w, "1", "Объект обычный", "Объект", "OBJ", 1, 0);
            AddObject(w, "01", "Первый", "1", "", "", "", "", 1, QDate(2005, 2, 1));
            AddObject(w, "02", "00123", "1", "01", "[01]");
        }));
        conn_.setUserName("VeldaRunKX");
        conn_.open();
    }
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
        QCOMPARE(recorder->calls, cellCalls(7, 2, "'Тип", 0, 0, true, true));
        recorder->calls.clear();
        ExcelWriteCell(sheet, 1, 1, false, false, false, "x", 7, 0x808080, NO_INTERIOR_COLOR, false, 1, 2);
        QVERIFY(recorder->calls.filter("Interior").isEmpty()); // the interior left alone
        QVERIFY(!recorder->calls.filter("Font.Size = 7").isEmpty());
    }

    // One export from the result window: its calls in the order of the steps.
    void exportCalls_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("no rows") << "t_o.ID_THIS = 'none'" << QStringList();
        QTest::newRow("two rows") << "" << QStringList{
            "Sheet1.Range(Cells(8,1),Cells(8,19)).Value = [\"Объект обычный\", \"Первый\", 2005-02-01T00:00:00Z, Empty, "
            "Empty, Empty, Empty, Empty, \"01\", Empty, \"1\", 1, 0, Empty, Empty, Empty, 1, 0, \"G\"]",
            "Sheet1.Range(Cells(9,1),Cells(9,19)).Value = [\"Объект обычный\", \"00123\", Empty, Empty, Empty, Empty, Empty, "
            "\"Первый\", \"02\", Empty, \"1\", 1, 0, Empty, Empty, \"01\", 1, 0, \"G\"]"};
    }
    void exportCalls()
    {
        QFETCH(QString, condition);
        QFETCH(QStringList, rows);
        useRecorder();
        ModalAnswerer answerer([](QWidget *modal) {
            if (auto *w = qobject_cast<TDlg_ViewQuery_Objects *>(modal)) {
                w->SpeedButton1->click();
                w->SpeedButton2->click();
                w->reject();
            } else {
                ModalAnswerer::accept(modal);
            }
        });
        QString result;
        ShowQueryResult("t", &conn_, condition.isEmpty() ? QStringLiteral("t_o.ID_THIS < '9'") : condition, "", "", result);
        const QStringList &calls = recorder->calls;
        QCOMPARE(calls.mid(0, kStart.size()), kStart);
        const QStringList first = cellCalls(1, 1, "VeldaRunKX", 7, 0x808080, false, false);
        QCOMPARE(calls.mid(kStart.size(), first.size()), first);
        QCOMPARE(calls.filter(".Value = \"'").size(), 19);                   // the header labels
        QCOMPARE(calls.filter(QRegularExpression("^Sheet1\\.Cells\\(7,\\d+\\)\\.Borders")).size(), 19 * 8);
        QVERIFY(calls.contains("Sheet1.Cells(7,1).Value = \"'Тип\""));
        QVERIFY(calls.contains("Sheet1.Cells(4,1).Font.Size = 12"));
        QCOMPARE(calls.filter(".Value = [").mid(0), rows);
        QCOMPARE(answerer.seen.filter("Готово!").size(), 1);
    }
};

QTEST_MAIN(TestExcel)
#include "test_excel.moc"
