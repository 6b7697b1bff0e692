#include "exports/save_watch.h"

#include "db/store_wait.h"
#include "support/files.h"

#include <QIODevice>
#include <algorithm>

namespace {

// Reads another device, counting what it hands on, and fails once the save
// is to stop.
class WatchedReader : public QIODevice {
public:
    WatchedReader(QIODevice &from, SaveWatch &watch) : from_(from), watch_(watch)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }
    bool atEnd() const override { return from_.atEnd(); }
    qint64 bytesAvailable() const override { return from_.bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (watch_.stop) {
            setErrorString(QStringLiteral("остановлено"));
            return -1;
        }
        const qint64 n = from_.read(data, maxSize);
        if (n < 0)
            setErrorString(from_.errorString());
        else
            watch_.advance(n);
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice &from_;
    SaveWatch &watch_;
};

} // namespace

bool SaveWatch::advance(qint64 bytes)
{
    done += bytes;
    if (onPiece)
        onPiece();
    return !stop;
}

QString SaveWatch::text(const QString &what) const
{
    const qint64 all = total;
    if (all <= 0)
        return what + QStringLiteral(" ...");
    return QStringLiteral("%1: %2 %").arg(what).arg(std::min<qint64>(99, done * 100 / all));
}

bool CopyFileWatched(QIODevice &from, const QString &to, SaveWatch &watch, QString *error, bool *noSpace)
{
    if (!from.isSequential())
        watch.total = from.size() - from.pos();
    WatchedReader reader(from, watch);
    if (CopyFileOver(reader, to, error, noSpace))
        return true;
    if (watch.stop && error)
        error->clear();
    return false;
}

bool RunSave(const QString &what, SaveWatch &watch, const std::function<bool()> &save)
{
    return RunLongWorkAside(save, [&] { watch.stop = true; }, [&] { return watch.text(what); });
}
