// Saving a finished export runs away from the window's thread: the thread
// keeps its pace however long compressing or copying takes (slowed here),
// the wait window shows how far it came, and Cancel leaves nothing: no
// workbook, no page, and a file the page would have replaced as it was.

#include "common/test_store.h"
#include "db/db_error.h"
#include "db/store_wait.h"
#include "exports/excel.h"
#include "exports/export_save.h"
#include "exports/html_export.h"
#include "exports/save_watch.h"
#include "exports/work_folder.h"
#include "exports/xlsx_backend.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <thread>

namespace {

// The wait window as the routine sees it: records, and may press Cancel.
struct Window : StoreWaitWindow {
    static inline bool pressCancel = false;
    static inline QStringList said;
    void begin(std::function<void()> cancel) override
    {
        if (pressCancel)
            QTimer::singleShot(100, cancel);
    }
    void cancelling() override {}
    void progress(const QString &text) override { said << text; }
};

} // namespace

class TestExportSave : public QObject {
    Q_OBJECT
    QTemporaryDir temp_;

private slots:
    void initTestCase()
    {
        qputenv("TMPDIR", QFile::encodeName(temp_.path()));
        qunsetenv("XDG_RUNTIME_DIR");
        SetStoreWaitWindow([] { return std::make_unique<Window>(); });
    }

    void savedAside_data()
    {
        QTest::addColumn<bool>("workbook");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("workbook") << true << false;
        QTest::newRow("workbook, cancelled") << true << true;
        QTest::newRow("page") << false << false;
        QTest::newRow("page, cancelled") << false << true;
    }
    void savedAside()
    {
        QFETCH(bool, workbook);
        QFETCH(bool, cancel);
        Window::pressCancel = cancel;
        Window::said.clear();
        QTemporaryDir chosen;
        const QString target = chosen.filePath(workbook ? "book.xlsx" : "page.htm");
        {
            QFile old(target); // what a cancelled save must not touch, and whose permissions a save keeps
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
            QVERIFY(old.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        }
        // Slowed: every piece written takes a while on the saving thread.
        SaveWatch watch;
        watch.onPiece = [workbook] { std::this_thread::sleep_for(std::chrono::milliseconds(workbook ? 10 : 60)); };
        // The window's thread: its pace while the save runs.
        QElapsedTimer sinceTick;
        qint64 longest = 0;
        int ticks = 0;
        QTimer clock;
        connect(&clock, &QTimer::timeout, [&] {
            longest = std::max(longest, sinceTick.restart());
            ++ticks;
        });
        QString error;
        std::unique_ptr<TemporaryPage> page;
        QVariant app, sheet;
        if (workbook) {
            ExcelStart(false, true, app);
            ExcelGetSheet(app, 1, sheet);
            QVariant buffer = VarArrayCreate(1, 3);
            for (int r = 1; r <= 20000; ++r) {
                for (int k = 1; k <= 3; ++k)
                    VarArraySet(buffer, k, QStringLiteral("%1 Насос %2").arg(quint32(r * 2654435761u + k), 0, 36).arg(r));
                ExcelWriteRange(sheet, r, 1, r, 3, buffer);
            }
        } else {
            page = std::make_unique<TemporaryPage>();
            const QByteArray line(1000, 'x');
            for (int i = 0; i < 20000; ++i)
                page->device().write(line);
        }
        sinceTick.start();
        clock.start(10);
        try {
            if (workbook) {
                auto book = std::dynamic_pointer_cast<XlsxBackend>(AutomationBackendOf(app));
                FinishWorkbook(*book, &watch);
                MoveWorkbook(*book, target);
                book->discard();
            } else {
                SavePage(*page, target, &watch);
            }
        } catch (const DbError &e) {
            QVERIFY(e.isCancelled());
            error = e.message();
        }
        clock.stop();
        QCOMPARE(error, cancel ? QStringLiteral("Запрос отменён.") : QString());
        QVERIFY2(longest < 200, qPrintable(QString::number(longest)));
        QVERIFY2(ticks > 30, qPrintable(QString::number(ticks)));
        QVERIFY2(!Window::said.isEmpty() && Window::said.last().contains(" %"), qPrintable(Window::said.join('|')));
        QCOMPARE(ReadBytes(target) == "old", cancel);
        QCOMPARE(FileMode(target), 0640);
        QCOMPARE(QDir(chosen.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(target).fileName()});
        // Nothing of the workbook stays in the user's own folder.
        QCOMPARE(QDir(WorkFolder::root(QString(), temp_.path())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }
};

QTEST_GUILESS_MAIN(TestExportSave)
#include "test_export_save.moc"
