// make_demo_store PATH [--objects N] (installed as vrkx-query-make-demo-store)
// Builds a new store at PATH: demo content, or N generated objects.

#include "demo_content.h"
#include "store_writer.h"

#include "db/db_error.h"
#include "db/engine_locale.h"
#include "db/engine_lock_folder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

int main(int argc, char **argv)
{
    // The lock folder the program itself would use: where a Firebird server
    // has made /tmp/firebird its own, an ordinary user gets a folder of their
    // own, before the engine is first used.
    PrepareEngineLockFolder();
    QCoreApplication app(argc, argv);
    PrepareEngineFileNames(); // a path with any letters, whatever the locale
    const QStringList args = app.arguments().mid(1);
    // Installed, the tool goes by a longer name: it speaks under the one it was called by.
    const QByteArray self = QFileInfo(app.arguments().value(0)).fileName().toLocal8Bit();
    const auto usage = [&](std::FILE *to) {
        std::fprintf(to, "usage: %s PATH [--objects N]\n", self.constData());
        return to == stdout ? 0 : 2;
    };
    QString path;
    long long objects = -1;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--help")) {
            return usage(stdout);
        } else if (args[i] == QLatin1String("--objects") && i + 1 < args.size()) {
            bool ok = false;
            objects = args[++i].toLongLong(&ok);
            if (!ok || objects < 0) {
                std::fprintf(stderr, "%s: --objects needs a count\n", self.constData());
                return 2;
            }
        } else if (path.isEmpty() && !args[i].startsWith(QLatin1String("--"))) {
            path = args[i];
        } else {
            return usage(stderr);
        }
    }
    if (path.isEmpty())
        return usage(stderr);
    if (QFileInfo::exists(path)) {
        std::fprintf(stderr, "%s: %s already exists; it is not overwritten\n", self.constData(), qPrintable(path));
        return 1;
    }
    try {
        auto writer = StoreWriter::create(path);
        if (objects >= 0)
            FillGeneratedStore(*writer, objects);
        else
            FillDemoStore(*writer);
        writer->close();
    } catch (const DbError &e) {
        std::fprintf(stderr, "%s: %s\n", self.constData(), e.what());
        return 1;
    }
    return 0;
}
