// Rows kept past the memory limit come back from the temporary file as they
// were fetched, NULLs included, and the file never outlives its rows.

#include "db/row_store.h"
#include "db/value_text.h"

#include <firebird/Interface.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cstring>

namespace {

// A result of `columns` columns, texts (VARCHAR(40)) and integers in turn,
// laid out as the client lays out its message.
struct Table {
    std::vector<ColumnInfo> columns;
    unsigned messageSize = 0;

    explicit Table(int count)
    {
        for (int c = 0; c < count; ++c) {
            ColumnInfo col;
            col.type = c % 2 ? SQL_LONG : SQL_VARYING;
            col.length = c % 2 ? 4 : 42;
            col.offset = messageSize;
            col.nullOffset = messageSize + 44;
            messageSize += 48;
            columns.push_back(col);
        }
    }
    // Cell (row, column) is NULL on a pattern that differs from row to row
    // and leaves whole rows NULL now and then.
    static bool isNull(int row, int column) { return row % 11 == 5 || (row * 7 + column * 3) % 5 == 0; }
    static QByteArray text(int row, int column) { return QByteArray::number(row * 100 + column).repeated(1 + row % 4); }

    void append(RowStore &store, int row) const
    {
        QByteArray message(int(messageSize), '\0');
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const ColumnInfo &col = columns[c];
            const short null = isNull(row, int(c)) ? -1 : 0;
            std::memcpy(message.data() + col.nullOffset, &null, sizeof null);
            if (col.type == SQL_LONG) {
                const qint32 v = row * 100 + int(c);
                std::memcpy(message.data() + col.offset, &v, sizeof v);
            } else {
                const QByteArray t = text(row, int(c));
                const auto n = static_cast<unsigned short>(t.size());
                std::memcpy(message.data() + col.offset, &n, sizeof n);
                std::memcpy(message.data() + col.offset + 2, t.constData(), std::size_t(n));
            }
        }
        store.append(reinterpret_cast<const unsigned char *>(message.constData()));
    }

    // What the cell should read: "NULL", the text or the number.
    QByteArray expected(int row, int column) const
    {
        if (isNull(row, column))
            return "NULL";
        return column % 2 ? QByteArray::number(row * 100 + column) : text(row, column);
    }
    QByteArray read(const RowStore &store, int row, int column) const
    {
        const CellRef cell = store.cell(std::size_t(row), std::size_t(column));
        if (cell.isNull)
            return "NULL";
        if (columns[std::size_t(column)].type == SQL_LONG)
            return QByteArray::number(CellInteger(columns[std::size_t(column)], cell));
        return QByteArray(cell.data, qsizetype(cell.size));
    }
};

constexpr std::size_t kLimit = 2 * RowStore::kBlockSize;

// Rows enough for about eight blocks, most of them written out.
int fill(RowStore &store, const Table &table)
{
    store.setResidentLimit(kLimit);
    store.reset(table.columns);
    int rows = 0;
    while (store.bytesUsed() < 8 * RowStore::kBlockSize)
        table.append(store, rows++);
    return rows;
}

QStringList spillFilesOpen()
{
    QStringList open;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget().contains(QLatin1String("vrkx-rows-")))
            open << fd.symLinkTarget();
    return open;
}

} // namespace

class TestRowStore : public QObject {
    Q_OBJECT
    QTemporaryDir temp_; // the temporary folder the rows spill into

private slots:
    void initTestCase() { qputenv("TMPDIR", QFile::encodeName(temp_.path())); }

    // A row's NULL marks take a byte per eight columns: results whose
    // columns fill the last byte exactly, and others.
    void nullsReadBackAfterSpilling_data()
    {
        QTest::addColumn<int>("columns");
        for (int n : {2, 8, 9, 16, 21})
            QTest::addRow("%d columns", n) << n;
    }
    void nullsReadBackAfterSpilling()
    {
        QFETCH(int, columns);
        const Table table(columns);
        RowStore store;
        const int rows = fill(store, table);
        QVERIFY(store.residentBytes() <= kLimit + 4 * RowStore::kBlockSize);
        // From the first row to the last, then here and there.
        for (int k = 0; k < rows + 2000; ++k) {
            const int r = k < rows ? k : int((qint64(k) * 7919) % rows);
            for (int c = 0; c < columns; ++c)
                QCOMPARE(table.read(store, r, c), table.expected(r, c));
        }
    }

    // An export reads a row field by field from the first row on while the
    // grid paints rows of other blocks, many of their cells NULL, and while
    // further rows are fetched: every value still comes back as it was.
    void rowsReadBetweenOtherReads()
    {
        const Table table(16);
        RowStore store;
        store.setResidentLimit(kLimit);
        store.reset(table.columns);
        int fetched = 0;
        while (store.bytesUsed() < 2 * RowStore::kBlockSize)
            table.append(store, fetched++);
        const int perBlock = fetched / 2;
        for (int r = 0; r < 6 * perBlock; r += perBlock / 3) {
            for (int c = 0; c < 16; ++c) {
                QCOMPARE(table.read(store, r, c), table.expected(r, c));
                // Further rows arrive; older blocks go to the file.
                for (int i = 0; i < perBlock / 16; ++i)
                    table.append(store, fetched++);
                // The grid reads a NULL cell in four other blocks.
                for (int b = 1; b <= 4 && r / perBlock + b < fetched / perBlock; ++b) {
                    int s = (r / perBlock + b) * perBlock;
                    while (!Table::isNull(s, 3))
                        ++s;
                    QCOMPARE(table.read(store, s, 3), QByteArray("NULL"));
                }
            }
        }
    }

    // The file the rows spill into is never seen in the temporary folder,
    // and is let go when the row set closes (the store is reset) or goes.
    void spillFileLeavesNothing()
    {
        const Table table(8);
        {
            RowStore store;
            fill(store, table);
            QVERIFY(store.residentBytes() < store.bytesUsed());
            QCOMPARE(QDir(temp_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
            QCOMPARE(spillFilesOpen().size(), 1);
            store.reset(table.columns);
            QCOMPARE(spillFilesOpen(), QStringList());
            fill(store, table);
            QCOMPARE(spillFilesOpen().size(), 1);
        }
        QCOMPARE(spillFilesOpen(), QStringList());
    }

    // A program killed while its rows lie in the file leaves nothing behind.
    void killedProgramLeavesNothing()
    {
        QTemporaryDir temp;
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", temp.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"spillAndWait"});
        QVERIFY(child.waitForReadyRead(60000));
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("spilled"));
        child.kill();
        QVERIFY(child.waitForFinished());
        QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }
};

int main(int argc, char **argv)
{
    // The child of killedProgramLeavesNothing: spills rows, says so, waits
    // to be killed.
    if (argc == 2 && std::strcmp(argv[1], "spillAndWait") == 0) {
        RowStore store;
        fill(store, Table(8));
        std::fputs("spilled\n", stdout);
        std::fflush(stdout);
        for (;;)
            QThread::sleep(1);
    }
    QCoreApplication app(argc, argv);
    TestRowStore test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_row_store.moc"
