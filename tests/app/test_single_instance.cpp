#include "widgets/sys.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {

QString probe()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/instance_probe");
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QProcess *startHolder(const QString &name)
    {
        auto *p = new QProcess(this);
        p->start(probe(), {name, dir_.path()});
        if (!p->waitForReadyRead(5000) || p->readLine().trimmed() != "running")
            return nullptr;
        return p;
    }

    int runOnce(const QString &name, const QString &folder)
    {
        QProcess p;
        p.start(probe(), {name, folder});
        p.waitForFinished(5000);
        return p.exitCode();
    }

private slots:
    void secondInstanceRefusedUntilFirstDies()
    {
        QProcess *first = startHolder("VRKX_Query");
        QVERIFY(first);
        QCOMPARE(runOnce("VRKX_Query", dir_.path()), 3);
        // Another name runs alongside.
        QVERIFY(startHolder("VRKX_Query_copy"));
        // A first instance killed outright does not block the next start.
        ::kill(pid_t(first->processId()), SIGKILL);
        QVERIFY(first->waitForFinished(5000));
        QProcess *next = startHolder("VRKX_Query");
        QVERIFY(next);
        next->kill();
        next->waitForFinished();
    }

    void lockFolderThatCannotBeMade()
    {
        QCOMPARE(runOnce("VRKX_Query", "/proc/self/none"), 3);
    }

    void message()
    {
        QCOMPARE(SingleInstanceMessage("VRKX_Query"),
                 QStringLiteral("Одна копия приложения : \"VRKX_Query\" - уже работает"));
    }

    void cleanupTestCase()
    {
        for (QProcess *p : findChildren<QProcess *>()) {
            p->kill();
            p->waitForFinished();
        }
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
