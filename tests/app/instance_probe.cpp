// Helper of test_single_instance: takes the single-instance guard named by
// its first argument in the folder of its second; prints "running" and
// sleeps when it got it, prints "refused" and exits 3 when not.

#include "widgets/sys.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    if (!CheckSingleInstance(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), false)) {
        std::puts("refused");
        return 3;
    }
    std::puts("running");
    std::fflush(stdout);
    QThread::sleep(60);
    return 0;
}
