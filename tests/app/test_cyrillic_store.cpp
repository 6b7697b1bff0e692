// A store kept where a Russian desktop keeps documents (Cyrillic letters in
// its folders and file name), reached as an ordinary user on a machine whose
// Firebird server made /tmp/firebird its own: the demo-store tool makes it,
// the program opens it as STORE argument, from the settings file after a
// restart, from the database list, and through the tests' server as
// "localhost/PORT:<path>". The program and the tool run as nobody (setpriv);
// the list and the server are driven by this test's own executable, started
// as nobody in its child mode. All of them run in the "C" locale.

#include "app/database_list_dialog.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/vrkx_application.h"
#include "app/welcome_dialog.h"
#include "common/modal_answerer.h"
#include "common/ordinary_user.h"
#include "common/test_store.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/engine_locale.h"
#include "db/engine_lock_folder.h"
#include "widgets/string_grid.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QStringList kAsNobody{"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};

} // namespace

// Run as nobody by the test below: the program's own windows choose the
// store from the database list, then its server path.
class CyrillicChild : public QObject {
    Q_OBJECT
    const QString program_ = qEnvironmentVariable("VRKX_CHILD_PROGRAM") + "/";
    const QString store_ = qEnvironmentVariable("VRKX_CHILD_STORE");
    const QString remote_ = qEnvironmentVariable("VRKX_CHILD_REMOTE");

    void choose(TForm1 &form, int row)
    {
        ModalAnswerer answerer([row](QWidget *modal) {
            if (auto *dlg = qobject_cast<TDlg_LocalList_DB *>(modal)) {
                dlg->SG_DB->setCurrentCell(0, row);
                dlg->OKBtn->click();
            } else {
                ModalAnswerer::accept(modal);
            }
        });
        form.N3Click();
    }

private slots:
    void fromTheListAndThroughTheServer()
    {
        QVERIFY(::geteuid() != 0);
        WriteDatabaseList(program_ + AppFiles::DatabaseList,
                          {{"Склад в документах", "", store_, "", ""},
                           {"Через сервер", "", remote_, qEnvironmentVariable("VRKX_CHILD_USER"),
                            qEnvironmentVariable("VRKX_CHILD_PASSWORD")}});
        TDlg_Enter_In_Application welcome;
        TForm1 form(program_, nullptr);
        form.setWelcomeDialog(&welcome);
        {
            ModalAnswerer answerer;
            form.show();
            QTRY_VERIFY_WITH_TIMEOUT(!form.FirstTick() && form.Timer1->isActive(), 30000);
            form.Timer1->stop();
            // The settings file (in the program's Cyrillic folder) named it.
            QCOMPARE(answerer.seen, QStringList{"Dlg_Enter_In_Application"});
        }
        QCOMPARE(form.Label_GDB->text(), store_);
        choose(form, 1);
        QVERIFY(form.Database()->isOpen());
        QCOMPARE(form.Label_About_DB->text(), QStringLiteral("Склад в документах"));
        QVERIFY(ObjectCount(form.Database()) > 100);
        choose(form, 2);
        QVERIFY(form.Database()->isOpen());
        QCOMPARE(form.Label_GDB->text(), remote_);
        QVERIFY(ObjectCount(form.Database()) > 100);
        QCOMPARE(ReadCurrentDb(program_).FullFileNameGDB, remote_);
        form.close();
    }
};

class TestCyrillicStore : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;

    QString home() const { return dir_.filePath("home"); }
    QString programDir() const { return home() + "/Программы/VRKX"; }
    QString store() const { return home() + "/Документы/Склад №1/база ёж.gdb"; }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TMPDIR", home() + "/tmp");
        env.insert("XDG_CONFIG_HOME", home() + "/config");
        env.remove("FIREBIRD_LOCK");
        env.remove("XDG_RUNTIME_DIR");
        env.remove("XDG_DATA_HOME");
        // Not even a UTF-8 locale (as under a service, or "env -i").
        env.remove("LANG");
        env.remove("LANGUAGE");
        env.insert("LC_ALL", "C");
        return env;
    }

    // Runs the command as nobody and waits for it.
    int runAsNobody(const QString &program, const QStringList &arguments, const QProcessEnvironment &env,
                    QByteArray *output = nullptr)
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(home());
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(kAsNobody[0], kAsNobody.mid(1) + QStringList{program} + arguments);
        if (!p.waitForFinished(120000)) {
            p.kill();
            p.waitForFinished();
        }
        if (output)
            *output = p.readAll();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    // The program as nobody until it holds the store, then ended as a close.
    void programHoldsTheStore(const QStringList &arguments)
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.setWorkingDirectory(home());
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(kAsNobody[0], kAsNobody.mid(1) + QStringList{programDir() + "/VRKX_Query"} + arguments);
        QVERIFY(p.waitForStarted());
        bool held = false;
        for (int i = 0; i < 600 && !held; ++i) {
            held = ProcessHolds(p.processId(), store()) && ReadCurrentDb(programDir() + "/").FullFileNameGDB == store();
            if (!held && p.waitForFinished(100))
                break;
        }
        ::kill(pid_t(p.processId()), SIGTERM);
        QVERIFY(p.waitForFinished(15000));
        QVERIFY2(held, "the program did not open the store");
        QCOMPARE(p.exitCode(), 0);
    }

    bool chownToNobody(const QString &path)
    {
        return ::chown(QFile::encodeName(path).constData(), uid_, gid_) == 0;
    }

private slots:
    void initTestCase()
    {
        const OrdinaryUser user = PrepareOrdinaryUser();
        QVERIFY2(user.error.isEmpty(), qPrintable(user.error));
        if (!user.skip.isEmpty())
            QSKIP(qPrintable(user.skip));
        uid_ = user.uid;
        gid_ = user.gid;
        ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);
        for (const QString &d : {home(), programDir(), home() + "/Документы/Склад №1", home() + "/tmp", home() + "/config"})
            QVERIFY(QDir().mkpath(d));
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + "/VRKX_Query", programDir() + "/VRKX_Query"));
        for (const QString &d : {home(), home() + "/Программы", programDir(), programDir() + "/VRKX_Query",
                                 home() + "/Документы", home() + "/Документы/Склад №1", home() + "/tmp",
                                 home() + "/config"})
            QVERIFY(chownToNobody(d));
    }

    void toolMakesTheStore()
    {
        QByteArray said;
        const QString tool = QCoreApplication::applicationDirPath() + "/make_demo_store";
        QVERIFY2(runAsNobody(tool, {store()}, environment(), &said) == 0, said.constData());
        QVERIFY2(QFileInfo(store()).ownerId() == uid_, said.constData());
        // Made again: refused, the file kept.
        QCOMPARE(runAsNobody(tool, {store()}, environment(), &said), 1);
        QVERIFY2(said.contains("already exists"), said.constData());
    }

    void programOpensItAsStoreArgument() { programHoldsTheStore({store()}); }

    void programOpensItFromTheSettingsAfterARestart() { programHoldsTheStore({}); }

    void programOpensItFromTheListAndThroughTheServer()
    {
        std::optional<TestServer> server;
        VRKX_TEST_SERVER_OR_SKIP(server);
        QProcessEnvironment env = environment();
        env.insert("VRKX_CHILD_PROGRAM", programDir());
        env.insert("VRKX_CHILD_STORE", store());
        env.insert("VRKX_CHILD_REMOTE", server->host + ":" + store());
        env.insert("VRKX_CHILD_USER", server->user);
        env.insert("VRKX_CHILD_PASSWORD", server->password);
        QByteArray said;
        const int code = runAsNobody(QCoreApplication::applicationFilePath(), {"--child"}, env, &said);
        QVERIFY2(code == 0, said.constData());
        QVERIFY2(said.contains("Totals: 3 passed, 0 failed"), said.constData());
    }
};

int main(int argc, char **argv)
{
    // As the program does, before the engine is first used.
    PrepareEngineLockFolder();
    const bool child = argc > 1 && qstrcmp(argv[1], "--child") == 0;
    VrkxApplication app(argc, argv);
    PrepareEngineFileNames(); // as the program does
    if (child) {
        CyrillicChild test;
        return QTest::qExec(&test, QStringList{app.arguments().value(0)});
    }
    TestCyrillicStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_cyrillic_store.moc"
