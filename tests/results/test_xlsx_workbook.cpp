// The workbook the spreadsheet export writes, read back from the file.

#include "common/modal_answerer.h"
#include "common/test_store.h"
#include "db/db_connection.h"
#include "results/automation.h"
#include "results/excel.h"
#include "results/result_window.h"
#include "results/xlsx_backend.h"
#include "results/xlsx_export.h"
#include "support/app_error.h"
#include "widgets/open_document.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

QString part(const QString &file, const QString &name)
{
    QProcess unzip;
    unzip.start("unzip", {"-p", file, name});
    unzip.waitForFinished();
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

// The XML of one cell, e.g. cell(xml, "B9").
QString cell(const QString &sheet, const QString &ref)
{
    const QRegularExpression re(QStringLiteral("<c r=\"%1\"[^>]*(/>|>.*?</c>)").arg(ref));
    return re.match(sheet).captured(0);
}

} // namespace

class TestXlsxWorkbook : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QTemporaryDir temp_; // the temporary folder the export uses
    DbConnection conn_;

private slots:
    void initTestCase()
    {
        qputenv("TMPDIR", QFile::encodeName(temp_.path()));
        conn_.setDatabaseName(MakeTestStore(dir_.path(), "book.fdb", [](StoreWriter &w) {
            AddType(w, "1", "Объект обычный", "Объект", "OBJ", 1, 0);
            AddObject(w, "01", "Первый", "1", "", "", "", "", 1, QDate(2005, 2, 1));
            AddObject(w, "02", "00123", "1", "01", "[01]", "", "", 1, QDate(1850, 3, 4));
        }));
        conn_.setUserName("VeldaRunKX");
        conn_.open();
    }
    void cleanup() { SetDocumentOpener({}); }

    void exportedWorkbook()
    {
        QStringList opened;
        SetDocumentOpener([&](const QString &f) { opened << f; return true; });
        ModalAnswerer answerer([](QWidget *modal) {
            if (auto *w = qobject_cast<TDlg_ViewQuery_Objects *>(modal)) {
                w->SpeedButton2->click();
                w->reject();
            } else {
                ModalAnswerer::accept(modal);
            }
        });
        QString result;
        ShowQueryResult("t", &conn_, "t_o.ID_THIS < '9'", "", "", result);
        QCOMPARE(answerer.seen.filter("Готово!").size(), 1);
        QCOMPARE(opened.size(), 1);
        const QString file = opened[0];
        QCOMPARE(QFileInfo(file).absolutePath(), QDir(temp_.path()).absolutePath());
        QCOMPARE(QDir(temp_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{QFileInfo(file).fileName()});

        const QString sheet = part(file, "xl/worksheets/sheet1.xml");
        const QString styles = part(file, "xl/styles.xml");
        QVERIFY(cell(sheet, "A1").contains("<t>VeldaRunKX</t>"));
        QVERIFY(cell(sheet, "A2").contains("<t>Date: "));
        QVERIFY(cell(sheet, "A4").contains("Результат отбора Объектов(Процессов)"));
        QVERIFY(styles.contains("<sz val=\"7\"/><color rgb=\"FF808080\"/>"));
        QVERIFY(styles.contains("<b/><sz val=\"12\"/>"));
        QVERIFY(styles.contains("<left style=\"thin\">"));
        // The labels without their apostrophes, 19 of them.
        QVERIFY(cell(sheet, "A7").contains("<t>Тип</t>"));
        QVERIFY(cell(sheet, "S7").contains("<t>ID-группы(справочник)</t>"));
        QVERIFY(cell(sheet, "T7").isEmpty());
        // Text, a number, a date, an empty cell; a name like a number stays text.
        QVERIFY(cell(sheet, "B8").contains("t=\"inlineStr\"><is><t>Первый</t>"));
        QVERIFY(cell(sheet, "L8").contains("<v>1</v>") && !cell(sheet, "L8").contains("inlineStr"));
        QVERIFY(cell(sheet, "C8").contains("<v>38384</v>"));
        QVERIFY(cell(sheet, "D8").isEmpty());
        QVERIFY(cell(sheet, "B9").contains("<t>00123</t>"));
        QVERIFY(cell(sheet, "C9").contains("<t>04.03.1850</t>")); // before the spreadsheet's calendar
        QVERIFY(styles.contains("formatCode=\"dd.mm.yyyy\""));
        QVERIFY(sheet.contains("<row r=\"9\"") && !sheet.contains("<row r=\"10\""));
        QFile::remove(file);
    }

    // A result longer than the sheet stops at the sheet's last row and
    // counts the rest; progress is reported, and may cancel, while the rest
    // is counted; a row set closed before its end is no finished sheet.
    void rowsBeyondTheSheet_data()
    {
        QTest::addColumn<int>("action"); // at the second progress call: 0 none, 1 cancel, 2 close the rows
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("counted") << 0 << false;
        QTest::newRow("cancelled while counting") << 1 << true;
        QTest::newRow("closed while counting") << 2 << true;
    }
    void rowsBeyondTheSheet()
    {
        QFETCH(int, action);
        QVariant app, sheet;
        ExcelStart(false, true, app);
        ExcelGetSheet(app, 1, sheet);
        DbDataSet rows;
        rows.setConnection(&conn_);
        rows.sql() << "SELECT ID_THIS, NAME_MAX FROM OBJECTS_TREE ORDER BY ID_THIS";
        rows.open();
        ExportRowReader reader(rows);
        QVariant buffer = VarArrayCreate(1, 2);
        int calls = 0;
        const WorkbookRows written = WriteWorkbookRows(
            sheet, reader, buffer,
            [&](int, int) {
                if (++calls == 2 && action == 2)
                    rows.close();
                return calls < 2 || action != 1;
            },
            kFirstDataRow);
        QCOMPARE(calls, 2);
        QCOMPARE(written.written, 1);
        QCOMPARE(written.leftOut, 1);
        QTEST(written.cancelled, "cancelled");
        if (!written.cancelled)
            QCOMPARE(rows.currentRow(), 1); // the grid ends on the last row
    }

    // A workbook that cannot be written names the file and leaves nothing.
    void refusedFileLeavesNothing()
    {
        {
            QVariant app, sheet;
            ExcelStart(false, true, app);
            ExcelGetSheet(app, 1, sheet);
            ExcelWriteCell(sheet, 1, 1, false, false, false, "x", 0, 0, 0xFFFFFF, false, 1, 2);
            auto book = std::dynamic_pointer_cast<XlsxBackend>(AutomationBackendOf(app));
            try {
                book->save("/proc/book.xlsx");
                QFAIL("saved");
            } catch (const AppError &e) {
                QVERIFY2(e.message().contains("/proc/book.xlsx"), qPrintable(e.message()));
            }
        }
        QCOMPARE(QDir(temp_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }
};

QTEST_MAIN(TestXlsxWorkbook)
#include "test_xlsx_workbook.moc"
