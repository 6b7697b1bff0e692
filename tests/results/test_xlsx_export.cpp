// The result window's spreadsheet button: the calls it makes, and the
// workbook it leaves.

#include "common/modal_answerer.h"
#include "common/spreadsheet_checks.h"
#include "common/test_store.h"
#include "db/db_connection.h"
#include "exports/automation.h"
#include "exports/work_folder.h"
#include "results/result_window.h"
#include "widgets/open_document.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <sys/stat.h>

namespace {

std::shared_ptr<RecordingBackend> recorder;

const QStringList kStart{"CreateObject(\"Excel.Application\")", "Visible = true", "get Workbooks", "Workbooks.Add(<omitted>)",
                         "get ActiveWorkBook", "get ActiveWorkBook.WorkSheets", "get ActiveWorkBook.WorkSheets.Count",
                         "get ActiveWorkBook", "get ActiveWorkBook.WorkSheets(1)"};

} // namespace

class TestXlsxExport : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QTemporaryDir temp_; // the temporary folder the export uses
    DbConnection conn_;

private slots:
    void initTestCase()
    {
        qputenv("TMPDIR", QFile::encodeName(temp_.path()));
        qunsetenv("XDG_RUNTIME_DIR");
        conn_.setDatabaseName(MakeTestStore(dir_.path(), "book.fdb", [](StoreWriter &w) {
            AddBookObjects(w);
            // Beyond the other tests' condition: texts a sheet cannot hold as
            // they are (a control character) or that readers would decode.
            AddObject(w, "95", QString::fromUtf8("Насос\x01 №5"), "1", "", "", "_x0041_ и \x1b");
        }));
        conn_.setUserName("VeldaRunKX");
        conn_.open();
    }
    void cleanup()
    {
        SetOpenerProbe({});
        SetDocumentOpener({});
        SetAutomationServer({});
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
            "Sheet1.Range(Cells(9,1),Cells(9,19)).Value = [\"Объект обычный\", \"00123\", 1850-03-04T00:00:00Z, Empty, Empty, Empty, Empty, "
            "\"Первый\", \"02\", Empty, \"1\", 1, 0, Empty, Empty, \"01\", 1, 0, \"G\"]"};
    }
    void exportCalls()
    {
        QFETCH(QString, condition);
        QFETCH(QStringList, rows);
        recorder = std::make_shared<RecordingBackend>();
        SetAutomationServer([](const QString &) { return recorder; });
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
        QCOMPARE(calls.value(kStart.size()), "Sheet1.Name = \"Лист1\""); // before the sheet is written
        const QStringList first = CellCalls(1, 1, "VeldaRunKX", 7, 0x808080, false, false);
        QCOMPARE(calls.mid(kStart.size() + 1, first.size()), first);
        QCOMPARE(calls.filter(".Value = \"'").size(), 19);                   // the header labels
        QCOMPARE(calls.filter(QRegularExpression("^Sheet1\\.Cells\\(7,\\d+\\)\\.Borders")).size(), 19 * 8);
        QVERIFY(calls.contains("Sheet1.Cells(7,1).Value = \"'Тип\""));
        QVERIFY(calls.contains("Sheet1.Cells(4,1).Font.Size = 12"));
        QCOMPARE(calls.filter(".Value = [").mid(0), rows);
        // Then the sheet is made to read well: the columns as wide as the
        // window's (names limited to 30, dates whole), the rows down to the
        // header frozen, a filter over the header and the rows written,
        // landscape pages one page wide.
        QStringList layout;
        const int widths[] = {20, 30, 11, 8, 11, 8, 20, 30, 10, 10, 10, 3, 3, 10, 10, 10, 3, 3, 10};
        for (int k = 1; k <= 19; ++k)
            layout << QStringLiteral("Sheet1.Range(Cells(7,%1),Cells(7,%1)).ColumnWidth = %2").arg(k).arg(widths[k - 1]);
        layout << "ActiveWindow.SplitRow = 7" << "ActiveWindow.SplitColumn = 0" << "ActiveWindow.FreezePanes = true"
               << QStringLiteral("Sheet1.Range(Cells(7,1),Cells(%1,19)).AutoFilter()").arg(7 + rows.size())
               << "Sheet1.PageSetup.Orientation = 2" << "Sheet1.PageSetup.Zoom = false"
               << "Sheet1.PageSetup.FitToPagesWide = 1" << "Sheet1.PageSetup.FitToPagesTall = false";
        QCOMPARE(calls.mid(calls.lastIndexOf(QRegularExpression(".*\\.(Value|Interior\\.Color) = .*")) + 1).filter(QRegularExpression("^(?!get )")),
                 layout);
        QCOMPARE(answerer.seen.filter("Готово!").size(), 1);
    }

    // The workbook is opened where the desktop has a spreadsheet program;
    // where it has none, or the program cannot be started, the user saves it
    // where they like, or drops it.
    void keptWorkbook_data()
    {
        QTest::addColumn<bool>("hasApplication");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("save"); // in the save dialog
        QTest::newRow("opened") << true << true << false;
        QTest::newRow("no application: saved") << false << true << true;
        QTest::newRow("not opened: saved") << true << false << true;
        QTest::newRow("no application: cancelled") << false << true << false;
    }
    void keptWorkbook()
    {
        QFETCH(bool, hasApplication);
        QFETCH(bool, opens);
        QFETCH(bool, save);
        // Workbooks an earlier row handed to the desktop stay while this
        // program runs.
        const QString own = WorkFolder::root(QString(), temp_.path());
        const QStringList kept = QDir(own).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
        // The folder last used, the one chosen (not in the temporary folder).
        QTemporaryDir last(dir_.filePath("last-XXXXXX")), chosen(dir_.filePath("chosen-XXXXXX"));
        QStringList asked, opened, offered;
        SetOpenerProbe([&](const QString &type) { asked << type; return hasApplication; });
        SetDocumentOpener([&](const QString &f) { opened << f; return opens; });
        // The result window is active again between the two exports: it is
        // answered once.
        bool started = false;
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *w = qobject_cast<TDlg_ViewQuery_Objects *>(modal)) {
                if (std::exchange(started, true))
                    return;
                w->SD1.initialDir = last.path();
                w->SpeedButton2->click();
                if (save) // the next workbook is offered in the folder chosen
                    w->SpeedButton2->click();
                w->reject();
            } else if (auto *d = qobject_cast<QFileDialog *>(modal)) {
                offered << d->directory().filePath(d->selectedFiles().value(0).section('/', -1));
                QCOMPARE(d->nameFilters().value(0), "Excel-файлы (*.xlsx)");
                if (save) {
                    // As the user does it: the folder, then the name typed.
                    d->setDirectory(chosen.path());
                    d->findChild<QLineEdit *>("fileNameEdit")->setText(offered.size() == 1 ? "book" : "again.xlsx");
                    static_cast<QDialog *>(d)->accept();
                } else {
                    d->reject();
                }
            } else {
                ModalAnswerer::accept(modal);
            }
        });
        QString result;
        ShowQueryResult("t", &conn_, "t_o.ID_THIS < '9'", "", "", result);
        QCOMPARE(asked.value(0), "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
        QCOMPARE(opened.size(), hasApplication ? asked.size() : 0);
        // Nothing in the temporary folder but the user's own folder, and in
        // that only the workbook handed to the desktop.
        QCOMPARE(QDir(temp_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{QFileInfo(own).fileName()});
        QCOMPARE(FileMode(own), 0700);
        QStringList left = QDir(own).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
        for (const QString &k : kept)
            left.removeAll(k);
        const bool dialog = !hasApplication || !opens;
        QCOMPARE(answerer.seen.filter("Готово!").size(), dialog && !save ? 0 : asked.size());
        QString file;
        if (!dialog) {
            QCOMPARE(offered, QStringList());
            QCOMPARE(left.size(), 1); // opened where it was built, for the user alone
            file = opened.value(0);
            QCOMPARE(QFileInfo(file).absolutePath(), QDir(own).filePath(left.value(0)));
            QCOMPARE(FileMode(QFileInfo(file).absolutePath()), 0700);
            QCOMPARE(FileMode(file), 0600);
        } else {
            QCOMPARE(left, QStringList());
            QCOMPARE(offered.value(0), QDir(last.path()).filePath("VRKX_Query_Result.xlsx"));
            if (!save) {
                QCOMPARE(offered.size(), 1);
                return;
            }
            QCOMPARE(offered.value(1), chosen.filePath("VRKX_Query_Result.xlsx"));
            QCOMPARE(QDir(chosen.path()).entryList(QDir::Files), (QStringList{"again.xlsx", "book.xlsx"}));
            file = chosen.filePath("book.xlsx");
            const mode_t mask = ::umask(0);
            ::umask(mask);
            QCOMPARE(FileMode(file), int(0666 & ~mask)); // a saved file's usual permissions, not the book's own
        }

        const QString sheet = WorkbookPart(file, "xl/worksheets/sheet1.xml");
        const QString styles = WorkbookPart(file, "xl/styles.xml");
        QVERIFY(CellXml(sheet, "A1").contains("<t>VeldaRunKX</t>"));
        // The date line: the Russian form where the system has no language
        // of its own (as under CTest, which runs this test with LC_ALL=C).
        const QString dateLine = QRegularExpression("<t>(Date: [^<]*)</t>").match(CellXml(sheet, "A2")).captured(1);
        if (QLocale::system().language() == QLocale::C)
            QVERIFY2(QRegularExpression("^Date: \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d$").match(dateLine).hasMatch(),
                     qPrintable(dateLine));
        else
            QVERIFY2(dateLine.startsWith("Date: " + QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)),
                     qPrintable(dateLine));
        QVERIFY(CellXml(sheet, "A4").contains("Результат отбора Объектов(Процессов)"));
        QVERIFY(styles.contains("<sz val=\"7\"/><color rgb=\"FF808080\"/>"));
        QVERIFY(styles.contains("<b/><sz val=\"12\"/>"));
        QVERIFY(styles.contains("<left style=\"thin\">"));
        // The labels without their apostrophes, 19 of them.
        QVERIFY(CellXml(sheet, "A7").contains("<t>Тип</t>"));
        QVERIFY(CellXml(sheet, "S7").contains("<t>ID-группы(справочник)</t>"));
        QVERIFY(CellXml(sheet, "T7").isEmpty());
        // Text, a number, a date, an empty cell; a name like a number stays text.
        QVERIFY(CellXml(sheet, "B8").contains("t=\"inlineStr\"><is><t>Первый</t>"));
        QVERIFY(CellXml(sheet, "L8").contains("<v>1</v>") && !CellXml(sheet, "L8").contains("inlineStr"));
        QVERIFY(CellXml(sheet, "C8").contains("<v>38384</v>"));
        QVERIFY(CellXml(sheet, "D8").isEmpty());
        QVERIFY(CellXml(sheet, "B9").contains("<t>00123</t>"));
        QVERIFY(CellXml(sheet, "C9").contains("<t>04.03.1850</t>")); // before the spreadsheet's calendar
        QVERIFY(styles.contains("formatCode=\"dd.mm.yyyy\""));
        QVERIFY(sheet.contains("<row r=\"9\"") && !sheet.contains("<row r=\"10\""));
        QFile::remove(file);
        if (!dialog) // the next export sweeps only what no running program holds: this one holds its own
            QCOMPARE(WorkFolder::sweep(own), 0);
    }

    // Values the sheet cannot hold as they are: the user is told once, at the
    // end, how many were changed; a text readers would decode is kept as it
    // reads.
    void changedValuesSaid()
    {
        SetOpenerProbe([](const QString &) { return true; });
        QString file;
        SetDocumentOpener([&](const QString &f) { file = f; return true; });
        ModalAnswerer answerer([](QWidget *modal) {
            if (auto *w = qobject_cast<TDlg_ViewQuery_Objects *>(modal)) {
                w->SpeedButton2->click();
                w->reject();
            } else {
                ModalAnswerer::accept(modal);
            }
        });
        QString result;
        ShowQueryResult("t", &conn_, "t_o.ID_THIS = '95'", "", "", result);
        QCOMPARE(answerer.seen.filter("изменено").size(), 1);
        QVERIFY2(answerer.seen.filter("изменено").value(0).contains("изменено: 2 "), qPrintable(answerer.seen.join('|')));
        QCOMPARE(answerer.seen.last(), "Готово! Распечатайте или сохраните в файл ...");
        const QString sheet = WorkbookPart(file, "xl/worksheets/sheet1.xml");
        QVERIFY(CellXml(sheet, "B8").contains("<t>Насос? №5</t>"));
        QVERIFY(CellXml(sheet, "G8").contains("<t>_x005F_x0041_ и ?</t>"));
        QFile::remove(file);
    }
};

QTEST_MAIN(TestXlsxExport)
#include "test_xlsx_export.moc"
