// The workbook the spreadsheet export writes, read back from the file.

#include "common/spreadsheet_checks.h"
#include "common/test_store.h"
#include "db/db_connection.h"
#include "exports/automation.h"
#include "exports/excel.h"
#include "exports/sheet_text.h"
#include "exports/xlsx_backend.h"
#include "exports/xlsx_export.h"
#include "exports/work_folder.h"
#include "exports/zip_level.h"
#include "results/result_query.h"
#include "support/app_error.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <dlfcn.h>

class TestXlsxWorkbook : public QObject {
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
            w.exec("UPDATE OBJECTS_TREE SET DATE_2 = '05.02.2005 10:30' WHERE ID_THIS = '01'");
        }));
        conn_.setUserName("VeldaRunKX");
        conn_.open();
    }
    // A result longer than the sheet stops at the sheet's last row and
    // counts the rest; the long work may be cancelled, and a row set closed
    // before its end is no finished sheet.
    void rowsBeyondTheSheet_data()
    {
        QTest::addColumn<int>("action"); // before the first step: 0 none, 1 cancel, 2 close the rows
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("counted") << 0 << false;
        QTest::newRow("cancelled") << 1 << true;
        QTest::newRow("closed") << 2 << true;
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
        QString said;
        const auto run = [&](const std::function<bool()> &step, const std::function<QString()> &progress) {
            if (action == 1)
                return false;
            if (action == 2)
                rows.close();
            while (step())
                ;
            said = progress();
            return true;
        };
        const WorkbookRows written = WriteWorkbookRows(sheet, reader, buffer, kFirstDataRow, run);
        QTEST(written.cancelled, "cancelled");
        if (!written.cancelled) {
            QCOMPARE(written.written, 1);
            QCOMPARE(written.leftOut, 1);
            QCOMPARE(said, QStringLiteral("Записано строк: 1 из 2"));
            QCOMPARE(rows.currentRow(), 0); // the grid stays where it was
        }
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
        // Only the user's own folder the workbooks are built in, empty.
        const QString own = WorkFolder::root(QString(), temp_.path());
        QCOMPARE(QDir(temp_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{QFileInfo(own).fileName()});
        QCOMPARE(QDir(own).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList());
    }

    // The workbook of the result window's rows reads well: the sheet is
    // "Лист1", columns as wide as their display widths (the dates whole),
    // the rows down to the header frozen, a filter over the header and the
    // rows, landscape pages one page wide.
    void readsWell()
    {
        DbDataSet rows;
        rows.setConnection(&conn_);
        for (const FieldDef &def : ResultFieldDefs())
            rows.addField(def);
        rows.sql() = ResultQueryLines(QString(), "t_o.ID_THIS");
        rows.open();
        QVariant app, sheet;
        ExcelStart(false, true, app);
        ExcelGetSheet(app, 1, sheet);
        ExportRowReader reader(rows);
        WriteWorkbookHeading(sheet, reader.columns(), "09.12.2026 22:17:37");
        QVariant buffer = VarArrayCreate(1, int(reader.columns().size()));
        WriteWorkbookLayout(app, sheet, reader.columns(), WriteWorkbookRows(sheet, reader, buffer));
        const QString file = temp_.filePath("layout.xlsx");
        std::dynamic_pointer_cast<XlsxBackend>(AutomationBackendOf(app))->save(file);

        QVERIFY(WorkbookPart(file, "xl/workbook.xml").contains("<sheet name=\"Лист1\" sheetId=\"1\""));
        const QString xml = WorkbookPart(file, "xl/worksheets/sheet1.xml");
        QVERIFY(xml.contains("<pane ySplit=\"7\" topLeftCell=\"A8\" activePane=\"bottomLeft\" state=\"frozen\"/>"));
        QVERIFY(xml.contains("<autoFilter ref=\"A7:S9\"/>"));
        QVERIFY(xml.contains("<pageSetUpPr fitToPage=\"1\"/>"));
        QVERIFY(xml.contains("<pageSetup fitToHeight=\"0\" orientation=\"landscape\"/>"));
        // Whole characters of each column's width, from A: the type, the
        // name, a date, a time, a date with a time of day, ...
        QStringList widths;
        const QRegularExpression col("<col min=\"(\\d+)\" max=\"\\1\" width=\"(\\d+)[.\"]");
        for (auto m = col.globalMatch(xml); m.hasNext();)
            widths << m.next().captured(2);
        QCOMPARE(widths.mid(0, 6), (QStringList{"20", "32", "11", "8", "20", "8"}));
        QCOMPARE(widths.size(), 19);
        QFile::remove(file);
    }

    // A text the sheet cannot hold as it is: characters XML cannot carry
    // replaced, cut to the cell's limit; "_xHHHH_" kept as written.
    void sheetText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("changed");
        QTest::newRow("plain") << "Насос №1\tx\r\n" << "Насос №1\tx\r\n" << false;
        QTest::newRow("NUL and controls") << QString::fromUtf8("a\0b\x01" "c\x1f", 6) << "a?b?c?" << true;
        QTest::newRow("not XML") << QString(QChar(0xFFFF)) + QChar(0xD800) + "x" << "??x" << true;
        QTest::newRow("escape-like") << "_x0041_ и _x00e9_" << "_x005F_x0041_ и _x005F_x00e9_" << false;
        QTest::newRow("not an escape") << "_x004_ _X0041_ _x0041" << "_x004_ _X0041_ _x0041" << false;
        QTest::newRow("longest") << QString(kCellTextMax, QChar(0x44F)) << QString(kCellTextMax, QChar(0x44F)) << false;
        QTest::newRow("too long") << QString(kCellTextMax + 1, 'a') << QString(kCellTextMax, 'a') << true;
        QTest::newRow("a pair across the limit")
            << QString(kCellTextMax - 1, 'a') + QString::fromUcs4(U"\U0001F600") << QString(kCellTextMax - 1, 'a') << true;
        QTest::newRow("too long, a control past the limit")
            << QString(kCellTextMax + 5, 'a') + QChar(1) << QString(kCellTextMax, 'a') << true;
        QTest::newRow("too long with escapes")
            << "_x0041_" + QString(kCellTextMax - 7, 'a') << "_x005F_x0041_" + QString(kCellTextMax - 13, 'a') << true;
    }
    void sheetText()
    {
        QFETCH(QString, text);
        QFETCH(bool, changed);
        bool said = !changed; // whatever it held is overwritten
        QTEST(SheetText(text, &said), "stored");
        QCOMPARE(said, changed);
    }

    // Through the workbook: stored as SheetText gives it, the values that
    // changed counted; a text that cannot be stored no longer fails the save.
    void valuesKeptOrCounted()
    {
        QVariant app, sheet;
        ExcelStart(false, true, app);
        ExcelGetSheet(app, 1, sheet);
        QVariant buffer = VarArrayCreate(1, 4);
        const QVariantList values{"'_x0042_", QString::fromUtf8("a\0b", 3), QString(40000, QChar(0x44F)), "_x0041_"};
        for (int k = 0; k < values.size(); ++k)
            VarArraySet(buffer, k + 1, values[k]);
        QVERIFY(ExcelWriteRange(sheet, 8, 1, 8, 4, buffer));
        auto book = std::dynamic_pointer_cast<XlsxBackend>(AutomationBackendOf(app));
        const QString file = temp_.filePath("values.xlsx");
        book->save(file);
        QCOMPARE(book->changedValues(), 2);
        const QString xml = WorkbookPart(file, "xl/worksheets/sheet1.xml");
        QVERIFY(CellXml(xml, "A8").contains("<t>_x005F_x0042_</t>"));
        QVERIFY(CellXml(xml, "B8").contains("<t>a?b</t>"));
        QVERIFY(CellXml(xml, "C8").contains("<t>" + QString(kCellTextMax, QChar(0x44F)) + "</t>"));
        QVERIFY(CellXml(xml, "D8").contains("<t>_x005F_x0041_</t>"));
        QFile::remove(file);
    }

    // A result that fills the sheet to its last row, 1,048,576, row by
    // row as the export writes it: every row is in the file, the last one
    // too, and the parts are deflated at the fastest level.
    void fullSheet()
    {
        QVariant app, sheet;
        ExcelStart(false, true, app);
        ExcelGetSheet(app, 1, sheet);
        QVariant buffer = VarArrayCreate(1, 2);
        for (int row = kFirstDataRow; row <= kSheetRows; ++row) {
            VarArraySet(buffer, 1, row);
            VarArraySet(buffer, 2, row == kSheetRows ? QVariant(QStringLiteral("последняя")) : QVariant());
            QVERIFY(ExcelWriteRange(sheet, row, 1, row, 2, buffer));
        }
        const QString file = temp_.filePath("full.xlsx");
        std::dynamic_pointer_cast<XlsxBackend>(AutomationBackendOf(app))->save(file);

        QProcess unzip;
        unzip.start("unzip", {"-p", file, "xl/worksheets/sheet1.xml"});
        QByteArray tail;
        qint64 rows = 0;
        while (unzip.waitForReadyRead(30000) || unzip.bytesAvailable()) {
            const QByteArray chunk = tail + unzip.readAll(); // a "</row>" may straddle two reads
            rows += chunk.count("</row>") - tail.count("</row>");
            tail = chunk.right(400);
            if (unzip.state() == QProcess::NotRunning && !unzip.bytesAvailable())
                break;
        }
        QCOMPARE(rows, qint64(kSheetRows - kFirstDataRow + 1));
        QVERIFY2(tail.contains("<row r=\"1048576\"><c r=\"A1048576\"><v>1048576</v></c>"
                               "<c r=\"B1048576\" t=\"inlineStr\"><is><t>последняя</t>"),
                 tail.constData());

        // zipinfo names each part's deflation level.
        QProcess info;
        info.start("unzip", {"-Zv", file});
        QVERIFY(info.waitForFinished(30000));
        const QString parts = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY(parts.count("compression method:") >= 8);
        QCOMPARE(parts.count(QRegularExpression("sub-type \\(deflation\\): +superfast\n")), parts.count("compression method:"));
        QFile::remove(file);
    }

    // What a cell or the sheet is given through the object model, as the
    // saved workbook holds it.
    void looks_data()
    {
        QTest::addColumn<QString>("path"); // from the sheet, or from the application for ActiveWindow
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("present");
        QTest::addColumn<QString>("absent");
        const QString styles = "xl/styles.xml", sheet = "xl/worksheets/sheet1.xml";
        QTest::newRow("left") << "Cells(1,1).HorizontalAlignment" << QVariant(2) << styles << "horizontal=\"left\"" << "";
        QTest::newRow("centre") << "Cells(1,1).HorizontalAlignment" << QVariant(3) << styles << "horizontal=\"center\"" << "";
        QTest::newRow("centre, named") << "Cells(1,1).HorizontalAlignment" << QVariant(-4108) << styles
                                       << "horizontal=\"center\"" << "";
        QTest::newRow("justify, named") << "Cells(1,1).HorizontalAlignment" << QVariant(-4130) << styles
                                        << "horizontal=\"justify\"" << "";
        QTest::newRow("thick line") << "Cells(1,1).Borders(1).Weight" << QVariant(3) << styles << "<left style=\"thick\">"
                                    << "";
        QTest::newRow("no line") << "Cells(1,1).Borders(1).LineStyle" << QVariant(-4142) << styles << "" << "<left style";
        QTest::newRow("white interior") << "Cells(1,1).Interior.Color" << QVariant(0xFFFFFF) << styles
                                        << "<fgColor rgb=\"FFFFFFFF\"/>" << "";
        QTest::newRow("no interior") << "Cells(1,1).Interior.Color" << QVariant(NO_INTERIOR_COLOR) << styles << ""
                                     << "patternType=\"solid\"";
        QTest::newRow("true") << "Cells(1,1).Value" << QVariant(true) << sheet << "t=\"b\"><v>1</v>" << "";
        QTest::newRow("date and time") << "Cells(1,1).Value" << QVariant(QDateTime(QDate(2005, 2, 5), QTime(10, 30)))
                                       << styles << "formatCode=\"dd.mm.yyyy hh:mm:ss\"" << "";
        QTest::newRow("zoom") << "PageSetup.Zoom" << QVariant(80) << sheet << "scale=\"80\"" << "fitToPage";
        QTest::newRow("largest zoom") << "PageSetup.Zoom" << QVariant(400) << sheet << "scale=\"400\"" << "";
        QTest::newRow("split, not frozen") << "ActiveWindow.SplitRow" << QVariant(7) << sheet << "" << "<pane";
        QTest::newRow("filter from row 1") << "AutoFilter" << QVariant() << sheet << "<autoFilter ref=\"A1:B2\"/>" << "";
    }
    void looks()
    {
        QFETCH(QString, path);
        QFETCH(QVariant, value);
        QVariant app, sheet;
        ExcelStart(false, true, app);
        ExcelGetSheet(app, 1, sheet);
        const auto cell = [&](int row, int col) { return AutoGet(sheet, "Cells", {row, col}); };
        AutoSet(cell(1, 1), "Value", "x");
        if (path.endsWith("Weight")) // a weight is of a line
            AutoSet(AutoGet(cell(1, 1), "Borders", {1}), "LineStyle", 1);
        if (path == "AutoFilter") {
            AutoCall(AutoGet(sheet, "Range", {cell(1, 1), cell(2, 2)}), "AutoFilter");
        } else {
            // Cells(1,1).Borders(1).Weight: every step but the last is a get.
            QVariant object = path.startsWith("ActiveWindow") ? app : sheet;
            QStringList steps = path.split('.');
            const QString last = steps.takeLast();
            for (const QString &step : steps) {
                const int open = step.indexOf('(');
                QVariantList args;
                if (open > 0)
                    for (const QString &a : step.mid(open + 1).chopped(1).split(','))
                        args << a.toInt();
                object = AutoGet(object, open > 0 ? step.left(open) : step, args);
            }
            AutoSet(object, last, value);
        }
        const QString file = temp_.filePath("looks.xlsx");
        std::dynamic_pointer_cast<XlsxBackend>(AutomationBackendOf(app))->save(file);
        QFETCH(QString, part);
        QFETCH(QString, present);
        QFETCH(QString, absent);
        const QString xml = WorkbookPart(file, part);
        QFile::remove(file);
        QVERIFY2(present.isEmpty() || xml.contains(present), qPrintable(xml));
        QVERIFY2(absent.isEmpty() || !xml.contains(absent), qPrintable(xml));
    }

    // A cell off the sheet is refused when it is written to, not at the save.
    void outsideTheSheet_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("refused");
        QTest::newRow("row 0") << 0 << 1 << true;
        QTest::newRow("column 0") << 1 << 0 << true;
        QTest::newRow("below the last row") << kSheetRows + 1 << 1 << true;
        QTest::newRow("beyond the last column") << 1 << kSheetColumns + 1 << true;
        QTest::newRow("the last cell") << kSheetRows << kSheetColumns << false;
    }
    void outsideTheSheet()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QVariant app, sheet;
        ExcelStart(false, true, app);
        ExcelGetSheet(app, 1, sheet);
        bool refused = false;
        try {
            AutoSet(AutoGet(sheet, "Cells", {row, col}), "Value", "x");
        } catch (const AppError &) {
            refused = true;
        }
        QTEST(refused, "refused");
        std::dynamic_pointer_cast<XlsxBackend>(AutomationBackendOf(app))->discard();
    }

    // Where the dynamic linker gives no definition after the program's own,
    // minizip's is taken from the workbook library's scope; with neither,
    // the reason names the call.
    void minizipCallFound()
    {
        QString reason;
        void *normal = FindMinizipCall(NextDefinition, WorkbookLibrarySymbol, &reason);
        QVERIFY2(normal, qPrintable(reason));
        QVERIFY(normal != dlsym(RTLD_DEFAULT, "zipOpenNewFileInZip4_64")); // not the program's own
        const SymbolLookup none = [](const char *) -> void * { return nullptr; };
        QCOMPARE(FindMinizipCall(none, WorkbookLibrarySymbol, &reason), normal);
        QCOMPARE(FindMinizipCall(none, none, &reason), nullptr);
        QVERIFY2(reason.contains("zipOpenNewFileInZip4_64"), qPrintable(reason));
        QVERIFY(MinizipCallFound(&reason));
    }
};

QTEST_GUILESS_MAIN(TestXlsxWorkbook)
#include "test_xlsx_workbook.moc"
