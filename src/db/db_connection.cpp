#include "db/db_connection.h"

#include "db/engine_lock_folder.h"
#include "db/engine_messages.h"
#include "db/fb_api.h"
#include "db/store_dependencies.h"
#include "db/store_wait.h"

#include <QCoreApplication>
#include <QPointer>

using namespace Firebird;

namespace {

// Nothing was written: committing a read-only transaction only ends it.
// When the connection is gone the handle is only released.
void endReadOnly(fb::Handle<ITransaction> &transaction)
{
    try {
        fb::end(transaction, [](ITransaction *t, ThrowStatusWrapper *st) { t->commit(st); });
    } catch (const DbError &) {
        transaction.reset();
    }
}

// Read-only and read committed (record version), never waiting for locks.
fb::Handle<ITransaction> startReadOnly(IAttachment *attachment)
{
    static const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                                        isc_tpb_rec_version, isc_tpb_nowait};
    fb::Status st;
    return fb::Handle<ITransaction>(fb::check([&] { return attachment->startTransaction(st.get(), sizeof(tpb), tpb); }));
}

// An attach in the making: owned by the task, so that a cancelled one ends
// by itself when the engine answers at last.
struct Attaching {
    fb::Handle<IAttachment> attachment;
    QString triggerNotice;
};

// Everything a disconnect ends, in the order it is ended.
struct Ending {
    fb::Handle<ITransaction> transaction;
    fb::Handle<IAttachment> attachment;
};

const QString kNoConnection = QStringLiteral("Нет подключения к базе данных");

} // namespace

DbTransaction::DbTransaction(DbConnection *connection) : connection_(connection) {}

DbTransaction::~DbTransaction()
{
    endReadOnly(handle_);
}

void DbTransaction::start()
{
    if (handle_)
        return;
    if (!connection_ || !connection_->isOpen())
        throw DbError(kNoConnection);
    auto started = connection_->share(std::make_unique<fb::Handle<ITransaction>>());
    IAttachment *attachment = connection_->attachment();
    connection_->call([started, attachment] { *started = startReadOnly(attachment); });
    handle_ = std::move(*started);
}

DbConnection::DbConnection(QObject *parent)
    : QObject(parent), transaction_(std::make_unique<DbTransaction>(this))
{
}

DbConnection::~DbConnection()
{
    close();
}

void DbConnection::open()
{
    if (attachment_)
        return;
    auto worker = std::make_unique<StoreWorker>();
    auto attaching = worker->share(std::make_unique<Attaching>());
    const QString name = databaseName_, user = userName_, password = password_, role = roleName_;
    // Nothing to cancel while attaching: a stopped attach is left to itself.
    const StoreCallEnd end = WaitOnStore(*worker, [attaching, name, user, password, role] {
        const auto attach = [&](bool withoutDatabaseTriggers) {
            return WithLockFolderProblem(name, [&] {
                return fb::attach(name, user, password, role, false, withoutDatabaseTriggers);
            });
        };
        try {
            attaching->attachment = attach(true);
        } catch (const DbError &e) {
            if (e.gdsCode() != isc_adm_task_denied)
                throw;
            // Neither owner nor SYSDBA: the engine runs the database
            // triggers, and the user hears of those that change the store.
            attaching->attachment = attach(false);
            fb::Handle<ITransaction> reading = startReadOnly(attaching->attachment.get());
            attaching->triggerNotice = StoreDatabaseTriggerNotice(attaching->attachment.get(), reading.get());
            endReadOnly(reading);
        }
    }, StoreCallStop{});
    if (end != StoreCallEnd::Finished) {
        worker->abandon(); // counted: the program's end does not wait for it
        throw CancelledError(QStringLiteral("Подключение отменено."));
    }
    worker_ = std::move(worker);
    attachment_ = std::move(attaching->attachment);
    triggerNotice_ = attaching->triggerNotice;
    dependencyReader_ = worker_->share(std::make_unique<DependencyReader>(attachment_.get()));
    emit opened();
}

QString DbConnection::takeDatabaseTriggerNotice()
{
    static QSet<QString> told; // the stores and what they were told, in this run
    const QString notice = std::exchange(triggerNotice_, QString());
    if (notice.isEmpty() || told.contains(databaseName_ + QLatin1Char('\n') + notice))
        return QString();
    told.insert(databaseName_ + QLatin1Char('\n') + notice);
    return notice;
}

void DbConnection::call(std::function<void()> task)
{
    if (!worker_ || !attachment_)
        throw DbError(kNoConnection);
    IAttachment *attachment = attachment_.get();
    const auto canceller = [attachment](int option) {
        return [attachment, option] {
            fb::Status st;
            try {
                attachment->cancelOperation(st.get(), option);
            } catch (const FbException &) {
                // nothing runs, or the server cannot be asked: the wait
                // routine goes on to the next step
            }
        };
    };
    const StoreCallStop stop{canceller(fb_cancel_raise), canceller(fb_cancel_abort)};
    const StoreCallEnd end = WaitOnStore(*worker_, std::move(task), stop);
    switch (end) {
    case StoreCallEnd::Finished:
        return;
    case StoreCallEnd::Cancelled:
        throw StoreCallCancelled(end);
    case StoreCallEnd::Aborted:
    case StoreCallEnd::Abandoned:
        // Once the caller has heard of it: the labels say so, the row sets
        // close.
        QMetaObject::invokeMethod(this, &DbConnection::dropLost, Qt::QueuedConnection);
        if (end == StoreCallEnd::Abandoned && worker_)
            worker_->abandon();
        throw StoreCallCancelled(end);
    }
}

void DbConnection::post(std::function<void()> task, std::function<void(std::exception_ptr)> done)
{
    if (!worker_)
        throw DbError(kNoConnection);
    QPointer<DbConnection> self(this);
    worker_->post([task = std::move(task), done = std::move(done), self]() mutable {
        std::exception_ptr error;
        try {
            task();
        } catch (...) {
            error = std::current_exception();
        }
        task = nullptr;
        if (QCoreApplication *app = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(app, [done = std::move(done), self, error] {
                if (self && done)
                    done(error);
            }, Qt::QueuedConnection);
        }
    });
}

std::function<void(std::function<void()>)> DbConnection::storePoster() const
{
    return worker_ ? worker_->poster() : std::function<void(std::function<void()>)>();
}

void DbConnection::dropLost()
{
    if (!attachment_)
        return;
    close();
    emit lost();
}

void DbConnection::close()
{
    if (!attachment_)
        return;
    emit aboutToClose(); // the row sets hand their server objects over
    dependencyReader_.reset(); // its statement ends before the disconnect
    std::unique_ptr<StoreWorker> worker = std::move(worker_);
    auto ending = worker->share(std::make_unique<Ending>());
    ending->transaction = transaction_->take();
    ending->attachment = std::move(attachment_);
    if (worker->isAbandoned())
        return; // stuck in a call already: the disconnect ends there if it ever returns
    StoreCallTiming timing;
    timing.giveUpAfterMs = kDisconnectSeconds * 1000;
    // Cancel, or no answer in time: the disconnect is left to itself, with
    // what it holds; the program goes on.
    const StoreCallEnd end = WaitOnStore(*worker, [ending] {
        endReadOnly(ending->transaction);
        ending->attachment.reset(); // detaches; only released when the connection is gone
        // What ends on this thread from now on is only released.
        StoreWorker::markStoreDetached();
    }, StoreCallStop{}, timing);
    if (end != StoreCallEnd::Finished)
        worker->abandon();
}
