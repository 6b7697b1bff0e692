#include "support/app_error.h"
#include "support/codec_1251.h"
#include "widgets/grid_file.h"
#include "widgets/string_grid.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kExample = "[~~~COMMON]\r\n"
                            "ItsMe=~9977553311\r\n"
                            "FileName=D:\\list.txt\r\n"
                            "FontName=MS Sans Serif\r\n"
                            "FontSize=8\r\n"
                            "ColCount=2\r\n"
                            "RowCount=2\r\n"
                            "FixedCols=0\r\n"
                            "FixedRows=1\r\n"
                            "DefaultRowHeight=18\r\n"
                            "COL_0=64\r\n"
                            "COL_1=120\r\n"
                            "\r\n"
                            "[~~-^v-~COL_0]\r\n"
                            "Name\r\n"
                            "A\r\n"
                            "\r\n"
                            "[~~-^v-~COL_1]\r\n"
                            "Path\r\n"
                            "C:\\a.gdb\r\n"
                            "\r\n";

void makeExampleGrid(StringGrid &grid)
{
    grid.setColCount(2);
    grid.setRowCount(2);
    grid.setFixedRows(1);
    grid.setDefaultRowHeight(18);
    grid.setColWidth(0, 64);
    grid.setColWidth(1, 120);
    grid.setRowTexts(0, {"Name", "Path"});
    grid.setRowTexts(1, {"A", "C:\\a.gdb"});
}

// A grid that a failed load must leave exactly as it was.
void makeSentinelGrid(StringGrid &grid)
{
    grid.setColCount(3);
    grid.setRowCount(2);
    grid.setFixedRows(1);
    grid.setRowTexts(0, {"x", "y", "z"});
    grid.setRowTexts(1, {"1", "2", "3"});
}

void writeBytes(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray withCommon(const QByteArray &common, const QByteArray &rest = QByteArray())
{
    return "[~~~COMMON]\r\nItsMe=~9977553311\r\n" + common + "\r\n" + rest;
}

} // namespace

class TestGridLayoutFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path(const QString &name) const { return dir_.filePath(name); }

private slots:
    void writesExampleByteForByte()
    {
        StringGrid grid;
        makeExampleGrid(grid);
        QCOMPARE(GridLayoutLines(GridLayoutOf(grid), "  D:\\list.txt ").size(), 21);
        const QString file = path("list.txt");
        QVERIFY(GridSaveToFile(&grid, file, true));
        QByteArray expected = kExample;
        expected.replace("D:\\list.txt", file.toLocal8Bit());
        QCOMPARE(readBytes(file), expected);
    }

    void readsExampleBack()
    {
        const QString file = path("example.txt");
        writeBytes(file, kExample);
        StringGrid grid;
        QVERIFY(GridLoadFromFile(&grid, file));
        QCOMPARE(grid.colCount(), 2);
        QCOMPARE(grid.rowCount(), 2);
        QCOMPARE(grid.fixedRows(), 1);
        QCOMPARE(grid.fixedCols(), 0);
        QCOMPARE(grid.defaultRowHeight(), 18);
        QCOMPARE(grid.colWidth(0), 64);
        QCOMPARE(grid.colWidth(1), 120);
        QCOMPARE(grid.rowTexts(0), (QStringList{"Name", "Path"}));
        QCOMPARE(grid.rowTexts(1), (QStringList{"A", "C:\\a.gdb"}));
    }

    void roundTripCyrillic()
    {
        StringGrid grid;
        grid.setColCount(5);
        grid.setRowCount(3);
        grid.setFixedRows(1);
        grid.setFixedCols(1);
        grid.setFontName("Courier New");
        grid.setFontSize(11);
        grid.setDefaultRowHeight(23);
        grid.setRowTexts(0, {"Пояснение к базе данных", "AliasBDE5", "Полный путь к GDB-файлу", "USER NAME", "PASSWORD"});
        grid.setRowTexts(1, {"Склад «Север»", "A1", "  /data/Склад.GDB  ", "Иванов", "пароль"});
        grid.setRowTexts(2, {"", "", "srv:/db/x.gdb", "", ""});
        for (int c = 0; c < 5; ++c)
            grid.setColWidth(c, 30 + c * 7);
        const QString file = path("ru.txt");
        QVERIFY(GridSaveToFile(&grid, file, true));
        QVERIFY(readBytes(file).contains(Cp1251::encode(QStringLiteral("Склад «Север»"))));

        StringGrid back;
        QVERIFY(GridLoadFromFile(&back, file));
        QCOMPARE(back.colCount(), 5);
        QCOMPARE(back.rowCount(), 3);
        QCOMPARE(back.fixedCols(), 1);
        QCOMPARE(back.fixedRows(), 1);
        QCOMPARE(back.fontName(), QStringLiteral("Courier New"));
        QCOMPARE(back.fontSize(), 11);
        QCOMPARE(back.defaultRowHeight(), 23);
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(back.colWidth(c), 30 + c * 7);
            QCOMPARE(back.colTexts(c), grid.colTexts(c));
        }
    }

    void shortSectionAndLineBreaks()
    {
        StringGrid grid;
        grid.setColCount(2);
        grid.setRowCount(4);
        grid.setColTexts(0, {"k0", "k1", "k2", "k3"});
        grid.setColTexts(1, {"m0", "m1", "m2", "m3"});
        const QString file = path("short.txt");
        writeBytes(file, withCommon("ColCount=2\r\nRowCount=4\r\n",
                                    "[~~-^v-~COL_0]\r\na\r\n[~~-^v-~COL_1]\r\nx\r\ntwo\r\nlines\r\nz\r\nw\r\n"));
        QVERIFY(GridLoadFromFile(&grid, file));
        // Column 0's section has one line: the other rows keep their texts, and
        // nothing of column 1's section is taken.
        QCOMPARE(grid.colTexts(0), (QStringList{"a", "k1", "k2", "k3"}));
        // A cell written across two lines moves the rest down; the surplus line drops.
        QCOMPARE(grid.colTexts(1), (QStringList{"x", "two", "lines", "z"}));
    }

    void signatureWithBlanksAccepted()
    {
        const QString file = path("blanks.txt");
        QByteArray data = kExample;
        data.replace("ItsMe=~9977553311", "ItsMe=   ~9977553311   ");
        writeBytes(file, data);
        StringGrid grid;
        QVERIFY(GridLoadFromFile(&grid, file));
    }

    void malformedFilesRefused_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no signature") << QByteArray(kExample).replace("ItsMe=~9977553311", "Other=1");
        QTest::newRow("wrong signature") << QByteArray(kExample).replace("~9977553311", "~9977553312");
        QTest::newRow("truncated") << kExample.left(60);
        QTest::newRow("zero columns") << withCommon("ColCount=0\r\nRowCount=2");
        QTest::newRow("negative rows") << withCommon("ColCount=2\r\nRowCount=-3");
        QTest::newRow("huge rows") << withCommon("ColCount=1\r\nRowCount=2000000000");
        QTest::newRow("huge columns") << withCommon("ColCount=2000000000\r\nRowCount=1");
        QTest::newRow("fixed cols = cols") << withCommon("ColCount=2\r\nRowCount=3\r\nFixedCols=2");
        QTest::newRow("fixed rows = rows") << withCommon("ColCount=2\r\nRowCount=3\r\nFixedRows=3");
        QTest::newRow("fixed rows above") << withCommon("ColCount=2\r\nRowCount=3\r\nFixedRows=9");
        QTest::newRow("negative fixed") << withCommon("ColCount=2\r\nRowCount=3\r\nFixedCols=-1");
        QTest::newRow("counts not numbers") << withCommon("ColCount=two\r\nRowCount=3");
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk.append(char((i * 131 + 7) % 256));
        QTest::newRow("binary junk") << junk;
        QTest::newRow("junk after signature") << withCommon(junk);
        QTest::newRow("very long lines") << withCommon("ColCount=" + QByteArray(1000000, '9') + "\r\nRowCount=1")
                                                + QByteArray(2000000, 'x');
    }
    void malformedFilesRefused()
    {
        QFETCH(QByteArray, content);
        const QString file = path("bad.txt");
        writeBytes(file, content);
        StringGrid grid;
        makeSentinelGrid(grid);
        QVERIFY(!GridLoadFromFile(&grid, file));
        QCOMPARE(grid.colCount(), 3);
        QCOMPARE(grid.rowCount(), 2);
        QCOMPARE(grid.fixedRows(), 1);
        QCOMPARE(grid.rowTexts(1), (QStringList{"1", "2", "3"}));
    }

    void missingFileAndNames()
    {
        StringGrid grid;
        QVERIFY(!GridLoadFromFile(&grid, path("nothing.txt")));
        QVERIFY(!GridLoadFromFile(&grid, "   "));
        QVERIFY(!GridLoadFromFile(nullptr, path("nothing.txt")));
        QVERIFY(!GridSaveToFile(&grid, "  ", true));
        QVERIFY(!GridSaveToFile(nullptr, path("x.txt"), true));
    }

    void saveDoesNotOverwriteUnlessAsked()
    {
        const QString file = path("exists.txt");
        writeBytes(file, "precious");
        StringGrid grid;
        makeExampleGrid(grid);
        QVERIFY(!GridSaveToFile(&grid, file, false));
        QCOMPARE(readBytes(file), QByteArray("precious"));
    }

    void failedSaveKeepsOldFile()
    {
        // The list file's folder is replaced by a plain file: nothing can be
        // created there, the error names the file, and nothing is half-written.
        const QString folder = path("sub");
        QVERIFY(QDir().mkpath(folder));
        const QString file = folder + "/list.txt";
        writeBytes(file, kExample);
        StringGrid grid;
        makeExampleGrid(grid);
        QFile::rename(folder, path("sub.moved"));
        writeBytes(folder, "not a folder");
        try {
            GridSaveToFile(&grid, file, true);
            QFAIL("no error raised");
        } catch (const AppError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(file)),
                     qPrintable(e.message()));
        }
        QCOMPARE(readBytes(path("sub.moved/list.txt")), kExample);

        // A folder standing where the file should be: the rename fails, the
        // folder stays, no temporary file is left behind.
        const QString asDir = path("dirlist.txt");
        QVERIFY(QDir().mkpath(asDir));
        QVERIFY_THROWS_EXCEPTION(AppError, GridSaveToFile(&grid, asDir, true));
        QVERIFY(QFileInfo(asDir).isDir());
        QCOMPARE(QDir(dir_.path()).entryList({"dirlist.txt.*"}, QDir::Files), QStringList());
    }

    void newFileIsPrivate()
    {
        const QString file = path("private.txt");
        StringGrid grid;
        makeExampleGrid(grid);
        QVERIFY(GridSaveToFile(&grid, file, true));
        QVERIFY(!(QFile::permissions(file) & (QFileDevice::ReadOther | QFileDevice::ReadGroup)));
    }

    void extractSection()
    {
        QStringList lines = QString::fromLatin1(kExample).split("\r\n");
        QVERIFY(ExtractGridSection("~~-^v-~COL_1", &lines));
        QCOMPARE(lines, (QStringList{"Path", "C:\\a.gdb", "", ""}));
        lines = QString::fromLatin1(kExample).split("\r\n");
        QVERIFY(ExtractGridSection(" ~~-^v-~COL_0 ", &lines));
        QCOMPARE(lines, (QStringList{"Name", "A", ""}));
        lines = QStringList{"[~~-^v-~col_0]", "x"};
        QVERIFY(!ExtractGridSection("~~-^v-~COL_0", &lines));
        QVERIFY(lines.isEmpty());
        lines = QStringList{"[S]"};
        QVERIFY(!ExtractGridSection("S", &lines));
        QVERIFY(!ExtractGridSection("S", nullptr));
        QVERIFY(!ExtractGridSection("  ", &lines));
    }
};

QTEST_MAIN(TestGridLayoutFile)
#include "test_grid_layout_file.moc"
