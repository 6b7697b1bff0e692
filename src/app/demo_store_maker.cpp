#include "app/demo_store_maker.h"

#include "db/engine_messages.h"
#include "db/store_ddl.h"
#include "db/store_wait.h"
#include "demo_content.h"
#include "store_writer.h"
#include "support/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <memory>

QString DemoStoreFileName(const QString &folder)
{
    return UniqueFileName(QDir(folder).filePath(QStringLiteral("VRKX_Demo_DB.GDB")));
}

namespace {

// What the making thread shares with the window's thread.
struct Making {
    std::atomic<long long> statements{0};
    std::atomic<bool> stop{false};
    bool created = false;     // the file is ours: read after the thread ended
    std::exception_ptr error; // read after the thread ended
};

} // namespace

bool MakeDemoStore(const QString &path)
{
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("Файл %1 уже существует: он не будет перезаписан.").arg(QDir::toNativeSeparators(path)));
    auto making = std::make_shared<Making>();
    std::unique_ptr<QThread> thread(QThread::create([making, path] {
        try {
            // The file first, so that a failure later removes only a file
            // this call made.
            auto writer = StoreWriter::create(path, QStringLiteral("SYSDBA"), QStringLiteral("masterkey"), false);
            making->created = true;
            writer->setProgress([making](long long n) {
                making->statements = n;
                if (making->stop)
                    throw CancelledError();
            });
            for (const QString &sql : StoreDdl()) {
                writer->exec(sql);
                writer->commit();
            }
            FillDemoStore(*writer);
            writer->close();
        } catch (...) {
            making->error = std::current_exception();
        }
    }));
    thread->start();
    // The thread writes; the window's thread only looks in on it, a few
    // dozen milliseconds at a time, so that windows paint and Cancel works.
    const bool finished = RunLongWork([&] { return !thread->wait(30); }, [&] {
        // The tables come first: a few statements.
        const long long rows = std::max(0LL, making->statements.load() - qsizetype(StoreDdl().size()));
        return QStringLiteral("Создаётся демонстрационная база данных ...\n")
               + (rows == 0 ? QStringLiteral("Файл базы данных и таблицы")
                            : QStringLiteral("Записано строк: %1").arg(rows));
    });
    if (!finished) {
        making->stop = true;
        // It stops at its next row; until then the windows go on painting.
        while (!thread->wait(20))
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    if (!finished || making->error) {
        // Only a file this call made is removed, never one that was there.
        if (making->created)
            QFile::remove(path);
        if (finished)
            std::rethrow_exception(making->error);
        return false;
    }
    return true;
}
