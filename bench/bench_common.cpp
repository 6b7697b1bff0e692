#include "bench_common.h"

#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/engine_locale.h"
#include "results/result_query.h"
#include "demo_content.h"
#include "store_writer.h"
#include "support/codec_1251.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <cstdio>
#include <cstdlib>

namespace {

long statusField(const char *name)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toLong();
    return 0;
}

} // namespace

QString BenchArgs::value(const QString &option) const
{
    for (qsizetype i = 0; i + 1 < values.size(); i += 2)
        if (values[i] == option)
            return values[i + 1];
    return QString();
}

BenchArgs ParseBenchArgs(const QStringList &arguments, const char *usage, const QStringList &valued,
                         const QStringList &flags)
{
    BenchArgs parsed;
    auto refuse = [usage](const QString &why) {
        std::fprintf(stderr, "%s\n%s", qPrintable(why), usage);
        std::exit(2);
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(usage, stdout);
            std::exit(0);
        }
        if (flags.contains(a)) {
            parsed.flags << a;
        } else if (valued.contains(a)) {
            if (i + 1 >= arguments.size())
                refuse(QStringLiteral("%1 needs a value").arg(a));
            const QString v = arguments[++i];
            if (a == QLatin1String("--objects")) {
                bool ok = false;
                parsed.objects = v.toLongLong(&ok);
                if (!ok || parsed.objects <= 0)
                    refuse(QStringLiteral("--objects takes a positive number, not \"%1\"").arg(v));
            } else {
                parsed.values << a << v;
            }
        } else {
            refuse(QStringLiteral("unknown argument \"%1\"").arg(a));
        }
    }
    return parsed;
}

QString EnsureStore(const QString &fileName, const std::function<void(StoreWriter &)> &fill)
{
    PrepareEngineFileNames(); // $VRKX_BENCH_DIR may hold any letters
    QString dir = qEnvironmentVariable("VRKX_BENCH_DIR");
    if (dir.isEmpty())
        dir = QStringLiteral("/tmp/vrkx-bench");
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(fileName);
    if (QFileInfo::exists(path))
        return path;
    std::fprintf(stderr, "making %s ...\n", qPrintable(path));
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    auto w = StoreWriter::create(partial);
    fill(*w);
    w->close();
    QFile::rename(partial, path);
    return path;
}

QString EnsureBenchStore(long long objects)
{
    return EnsureStore(QStringLiteral("objects_%1.fdb").arg(objects),
                       [objects](StoreWriter &w) { FillGeneratedStore(w, objects); });
}

void OpenBenchStore(DbConnection &conn, const QString &store)
{
    PrepareEngineFileNames();
    conn.setDatabaseName(store);
    conn.setUserName(QStringLiteral("VeldaRunKX"));
    conn.setPassword(QStringLiteral("qzmt"));
    conn.open();
}

void OpenResultRows(DbDataSet &rows, DbConnection &conn)
{
    rows.setConnection(&conn);
    for (const FieldDef &def : ResultFieldDefs())
        rows.addField(def);
    rows.sql() = ResultQueryLines(QString(), QStringLiteral("t_o.ID_THIS"));
    rows.open();
}

void PreferOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

double RunIsql(const QString &store, const QString &statement)
{
    QTemporaryFile script;
    script.open();
    script.write(Cp1251::encode(statement) + ";\n"); // isql-fb reads the script as WIN1251
    script.flush();
    QProcess isql;
    isql.setStandardOutputFile(QProcess::nullDevice());
    isql.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-q"), QStringLiteral("-ch"), QStringLiteral("WIN1251"),
                                           QStringLiteral("-u"), QStringLiteral("VeldaRunKX"), QStringLiteral("-p"),
                                           QStringLiteral("qzmt"), QStringLiteral("-i"), script.fileName(), store});
    isql.waitForFinished(-1);
    return double(timer.nsecsElapsed()) / 1e9;
}

void WarmFileCache(const QString &store, const QString &table)
{
    RunIsql(store, QStringLiteral("SELECT COUNT(*) FROM ") + table);
}

QStringList SelectFirst(QStringList lines, long long n)
{
    lines[0].replace(0, 7, QStringLiteral("SELECT FIRST %1 ").arg(n));
    return lines;
}

long CurrentRssKb()
{
    return statusField("VmRSS");
}

long PeakRssKb()
{
    return statusField("VmHWM");
}

void ResetPeakRss()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

ChildRun RunChild(const QString &mode, long long objects)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--child"), mode, QStringLiteral("--objects"), QString::number(objects)});
    p.waitForFinished(-1);
    const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
    ChildRun s;
    if (p.exitCode() != 0 || f.size() != 5) {
        std::fprintf(stderr, "%s run failed\n", qPrintable(mode));
        return s;
    }
    s.rows = f[0].toLongLong();
    s.seconds = f[1].toDouble();
    s.peakMb = f[2].toDouble() / 1024.0;
    s.bufferMb = f[3].toDouble() / 1048576.0;
    s.fileMb = f[4].toDouble() / 1048576.0;
    return s;
}

void PrintChildRun(long long rows, double seconds, std::size_t bufferBytes, long long fileBytes)
{
    std::printf("%lld %.6f %ld %zu %lld\n", rows, seconds, PeakRssKb(), bufferBytes, fileBytes);
}
