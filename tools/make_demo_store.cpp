// make_demo_store PATH [--objects N]
// Builds a new store at PATH: demo content, or N generated objects.

#include "demo_content.h"
#include "store_writer.h"

#include "db/db_error.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString path;
    long long objects = -1;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--objects") && i + 1 < args.size()) {
            bool ok = false;
            objects = args[++i].toLongLong(&ok);
            if (!ok || objects < 0) {
                std::fprintf(stderr, "make_demo_store: --objects needs a count\n");
                return 2;
            }
        } else if (path.isEmpty() && !args[i].startsWith(QLatin1String("--"))) {
            path = args[i];
        } else {
            std::fprintf(stderr, "usage: make_demo_store PATH [--objects N]\n");
            return 2;
        }
    }
    if (path.isEmpty()) {
        std::fprintf(stderr, "usage: make_demo_store PATH [--objects N]\n");
        return 2;
    }
    if (QFileInfo::exists(path)) {
        std::fprintf(stderr, "make_demo_store: %s already exists; it is not overwritten\n", qPrintable(path));
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
        std::fprintf(stderr, "make_demo_store: %s\n", e.what());
        return 1;
    }
    return 0;
}
