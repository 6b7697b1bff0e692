// Helper of test_settings: saves two different database entries in turn,
// for ever, into the settings file of the folder given as its argument,
// until the test kills it.

#include "app/settings.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]) + QChar('/');
    const DatabaseEntry entries[] = {{"Склад", "S1", "/data/s.gdb", "ivan", "pw1"},
                                     {"Архив", "A2", "/data/a.gdb", "petr", "pw2"}};
    std::puts("writing");
    std::fflush(stdout);
    for (unsigned long i = 0;; ++i)
        SaveCurrentDb(folder, entries[i % 2]);
}
