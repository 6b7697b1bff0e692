#include "app/form_logo.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "support/startup_dir.h"
#include "app/vrkx_application.h"
#include "app/welcome_dialog.h"
#include "common/modal_answerer.h"
#include "common/test_store.h"
#include "app/database_list_dialog.h"
#include "query/filter_page.h"
#include "results/result_window.h"
#include "widgets/db_grid.h"
#include "db/db_connection.h"
#include "db/db_error.h"
#include "support/grid_layout_file.h"
#include "widgets/string_grid.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Runs the first tick of a main window and answers its modal windows.
struct Started {
    std::unique_ptr<TForm1> form;
    QStringList modals;
    QPointer<TForm_Logo> logo;
};

void startIn(const QString &startupDir, Started &s, const QString &store = QString())
{
    auto *logo = new TForm_Logo;
    logo->show();
    s.logo = logo;
    TDlg_Enter_In_Application welcome;
    ModalAnswerer answerer;
    s.form = std::make_unique<TForm1>(startupDir, logo);
    s.form->setWelcomeDialog(&welcome);
    s.form->setStoreArgument(store);
    s.form->show();
    QTRY_VERIFY_WITH_TIMEOUT(!s.form->FirstTick() && s.form->Timer1->isActive(), 10000);
    s.modals = answerer.seen;
}

Started start(const QString &startupDir, const QString &store = QString())
{
    Started s;
    startIn(startupDir, s, store);
    return s;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString storeA_;
    QString storeB_;
    int case_ = 0;

    // A fresh program folder for each case.
    QString newStartupDir()
    {
        const QString d = dir_.filePath(QStringLiteral("prog%1/").arg(++case_));
        QDir().mkpath(d);
        return d;
    }

    void writeSettings(const QString &startupDir, const DatabaseEntry &e) { SaveCurrentDb(startupDir, e); }

private slots:
    void initTestCase()
    {
        storeA_ = MakeTestStore(dir_.path(), "a.fdb", [](StoreWriter &w) { AddObject(w, "1", "A"); });
        storeB_ = MakeTestStore(dir_.path(), "b.fdb", [](StoreWriter &w) { AddObject(w, "1", "B"); });
        // The bare default name must not resolve to a file in the working folder.
        QDir::setCurrent(dir_.path());
    }

    void frame()
    {
        TForm1 form(newStartupDir(), nullptr);
        QCOMPARE(form.windowTitle(), QStringLiteral("VeldaRunKX. Генератор запросов. Иллюстрирующий пример."));
        QCOMPARE(form.Version1->text(), QStringLiteral("Версия: 1.07 (12.08.2009)"));
        QVERIFY(!form.Version1->isEnabled());
        QCOMPARE(form.N3->text(), QStringLiteral("Выбрать"));
        QCOMPARE(form.N2->text(), QStringLiteral("Список создать (редактировать)"));
        QCOMPARE(form.TN1->tabText(0), QStringLiteral("Фильтрация"));
        QCOMPARE(form.TN1->tabText(1), QStringLiteral("Настройка"));
        QCOMPARE(form.Label_About_DB->text(), QStringLiteral("???"));
        QVERIFY(form.FirstTick());
        QVERIFY(QDir(form.StartupDir() + "Export").exists());
        QVERIFY(QDir(form.StartupDir() + "Import").exists());
        QVERIFY(QDir(form.StartupDir() + "Tree_Images").exists());
        form.Timer1->stop();
    }

    // The menu bar from the keyboard: F10 opens "База данных", and so do
    // its letter with Alt and Alt alone.
    void menuFromTheKeyboard()
    {
        TForm1 form(newStartupDir(), nullptr);
        form.Timer1->stop();
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(form.N1->text(), QStringLiteral("&База данных"));
        QTest::keyClick(form.filterPage->Memo_SQL, Qt::Key_F10);
        QTRY_VERIFY(form.N1->menu()->isVisible());
        form.N1->menu()->close();
        QTRY_VERIFY(!form.N1->menu()->isVisible());
        form.filterPage->Memo_SQL->setFocus();
        QTest::sendKeyEvent(QTest::Click, form.filterPage->Memo_SQL, Qt::Key(0x0411), QStringLiteral("б"),
                            Qt::AltModifier); // Alt+Б
        QTRY_VERIFY(form.N1->menu()->isVisible());
        form.N1->menu()->close();
        QTRY_VERIFY(!form.N1->menu()->isVisible());
        QTest::keyClick(form.filterPage->Memo_SQL, Qt::Key_Alt);
        QTRY_VERIFY(form.N1->menu()->isVisible());
        form.N1->menu()->close();
    }

    void defaultFileWinsOverSettings()
    {
        const QString d = newStartupDir();
        QFile::copy(storeA_, d + "VRKX_DB_01.GDB");
        writeSettings(d, {"B", "B1", storeB_, "u", "p"});
        const QByteArray settings = ReadBytes(d + "VRKX_Query.ini");
        Started s = start(d);
        QCOMPARE(s.modals.first(), DefaultDbWarning(d, "/elsewhere"));
        QCOMPARE(s.modals.last(), QStringLiteral("Dlg_Enter_In_Application"));
        QCOMPARE(s.form->CurrentDb(), DefaultDatabaseEntry(d));
        QVERIFY(s.form->Database()->isOpen());
        QCOMPARE(s.form->Label_GDB->text(), d + "VRKX_DB_01.GDB");
        QCOMPARE(s.form->Label_About_DB->text(), QStringLiteral("VRKX_DB_01.GDB"));
        QVERIFY(!s.logo);
        QVERIFY(s.form->isMaximized() || s.form->windowState() & Qt::WindowMaximized);
        // Closing while the default file is in use leaves the settings alone.
        s.form->close();
        QCOMPARE(ReadBytes(d + "VRKX_Query.ini"), settings);
    }

    void defaultDbWarningNamesTheFolder()
    {
        // The program's own folder is "the start folder"; the user's folder is named.
        QCOMPARE(DefaultDbWarning("/opt/q/", "/opt/q"),
                 QStringLiteral("Внимание !\nВ каталоге запуска программы найден файл VRKX_DB_01.GDB.\n"
                                "Программа будет в дальнейшем работать с этим файлом !"));
        QVERIFY(DefaultDbWarning("/home/u/.local/share/VRKX_Query/", "/usr/bin")
                    .contains("В каталоге /home/u/.local/share/VRKX_Query/ найден файл VRKX_DB_01.GDB."));
    }

    // A store named on the command line is opened as if chosen from the list,
    // also over the default file of the folder, without its warning.
    void storeArgumentIsASwitch()
    {
        const QString d = newStartupDir();
        QFile::copy(storeB_, d + "VRKX_DB_01.GDB");
        WriteDatabaseList(d + "VRKX_LocalList_DB.txt", {{"Склад А", "A1", storeA_, "ivan", "pw"}});
        Started s = start(d, storeA_);
        QCOMPARE(s.modals, QStringList{"Dlg_Enter_In_Application"});
        const DatabaseEntry a{"Склад А", "A1", storeA_, "ivan", "pw"};
        QCOMPARE(s.form->CurrentDb(), a);
        QCOMPARE(s.form->Label_GDB->text(), storeA_);
        QCOMPARE(ReadCurrentDb(d), a); // written at once
        QVERIFY(!s.logo);
        s.form->close();
        QCOMPARE(ReadCurrentDb(d), a);
    }

    void storeArgumentThatFailsKeepsTheRemembered()
    {
        const QString d = newStartupDir();
        const DatabaseEntry b{"Склад Б", "B1", storeB_, "u", "p"};
        writeSettings(d, b);
        Started s = start(d, d + "missing.gdb");
        // The error, then the choice of a way to a store (answered: go on).
        QCOMPARE(s.modals.size(), 3);
        QVERIFY2(s.modals[0].contains("missing.gdb"), qPrintable(s.modals[0]));
        QCOMPARE(s.modals[1], QStringLiteral("StoreChoiceDialog"));
        QVERIFY(!s.form->Database()->isOpen());
        QCOMPARE(s.form->Label_GDB->text(), QStringLiteral("???"));
        QCOMPARE(s.form->CurrentDb(), b);
        s.form->close();
        QCOMPARE(ReadCurrentDb(d), b);
    }

    // An installed program (its folder read-only, even to root) keeps its
    // files in the user's folder, made on first use; closing writes there.
    void readOnlyProgramFolderUsesTheUserFolder()
    {
        const QString program = dir_.filePath("installed/bin");
        QDir().mkpath(program);
        QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        const QString d = ChooseStartupDir(program, {"/usr/bin", "../share/metainfo/x.xml"}, dir_.filePath("data"));
        QCOMPARE(d, dir_.filePath("data/VRKX_Query/"));
        Started s = start(d);
        QVERIFY(QDir(d + "Tree_Images").exists());
        s.form->close();
        QCOMPARE(ReadCurrentDb(d).FullFileNameGDB, QStringLiteral("VRKX_DB_01.GDB"));
        QVERIFY(QDir(program).isEmpty());
    }

    void settingsNameAnotherStore()
    {
        const QString d = newStartupDir();
        writeSettings(d, {" Склад Б ", "B1", storeB_, "ivan", "secret"});
        Started s = start(d);
        QCOMPARE(s.modals, QStringList{"Dlg_Enter_In_Application"});
        QCOMPARE(s.form->CurrentDb(), (DatabaseEntry{"Склад Б", "B1", storeB_, "ivan", "secret"}));
        QCOMPARE(s.form->Label_GDB->text(), storeB_);
        QCOMPARE(s.form->Label_About_DB->text(), QStringLiteral("Склад Б"));
        QCOMPARE(s.form->Database()->userName(), QStringLiteral("ivan"));
        // Closing writes the settings again.
        QFile::remove(d + "VRKX_Query.ini");
        s.form->close();
        QCOMPARE(ReadCurrentDb(d), s.form->CurrentDb());
    }

    void missingSettingsTriesTheBareName()
    {
        const QString d = newStartupDir();
        Started s = start(d);
        QCOMPARE(s.form->CurrentDb().FullFileNameGDB, QStringLiteral("VRKX_DB_01.GDB"));
        QCOMPARE(s.form->CurrentDb().USER_NAME, QStringLiteral("VeldaRunKX"));
        QCOMPARE(s.form->Database()->databaseName(), QStringLiteral("VRKX_DB_01.GDB"));
        // The failed connection is reported in Russian, the way to a store
        // is offered (answered: go on), then the startup goes on.
        QCOMPARE(s.modals.size(), 3);
        QVERIFY2(s.modals[0].startsWith("Файл базы данных не найден"), qPrintable(s.modals[0]));
        QVERIFY2(s.modals[0].contains("VRKX_DB_01.GDB"), qPrintable(s.modals[0]));
        QCOMPARE(s.modals[1], QStringLiteral("StoreChoiceDialog"));
        QCOMPARE(s.modals[2], QStringLiteral("Dlg_Enter_In_Application"));
        QVERIFY(!s.form->Database()->isOpen());
        QCOMPARE(s.form->Label_GDB->text(), QStringLiteral("???"));
        QCOMPARE(s.form->Label_About_DB->text(), QStringLiteral("???"));
        QVERIFY(!s.logo);
        // The clock keeps running.
        const QString before = s.form->Label_DT->text();
        QTRY_VERIFY_WITH_TIMEOUT(s.form->Label_DT->text() != before, 3000);
        s.form->Timer1->stop();
    }

    void emptyPathConnectsNowhere()
    {
        const QString d = newStartupDir();
        QFile f(d + "VRKX_Query.ini");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[DB_CURRENT]\r\nFullFileNameGDB=   \r\n");
        f.close();
        Started s = start(d);
        // No store named: no error, the way to one is offered.
        QCOMPARE(s.modals, (QStringList{"StoreChoiceDialog", "Dlg_Enter_In_Application"}));
        QVERIFY(!s.form->Database()->isOpen());
        QCOMPARE(s.form->Label_GDB->text(), QStringLiteral("???"));
        QVERIFY(!s.logo);
        s.form->Timer1->stop();
    }

    void switchingStores()
    {
        const QString d = newStartupDir();
        writeSettings(d, {"A", "A1", storeA_, "u", "p"});
        Started s = start(d);
        s.form->Timer1->stop();
        QVERIFY(s.form->Database()->isOpen());
        WriteDatabaseList(d + "VRKX_LocalList_DB.txt", {{" Склад Б ", "", "  " + storeB_ + "  ", "", ""},
                                                 {"Пропавший", "X1", d + "missing.gdb", "u", "p"},
                                                 {"Без пути и псевдонима", "", "", "u", ""}});
        auto chooseRow = [](int row) {
            return [row](QWidget *modal) {
                if (auto *dlg = qobject_cast<TDlg_LocalList_DB *>(modal)) {
                    dlg->SG_DB->setCurrentCell(0, row);
                    dlg->OKBtn->click();
                } else {
                    ModalAnswerer::accept(modal);
                }
            };
        };
        {
            ModalAnswerer answerer(chooseRow(1));
            s.form->N3Click();
        }
        QCOMPARE(s.form->Label_GDB->text(), storeB_);
        QCOMPARE(s.form->Label_About_DB->text(), QStringLiteral("Склад Б"));
        const DatabaseEntry b{"Склад Б", "", storeB_, "VELDARUNKX", "qzmt"};
        QCOMPARE(s.form->CurrentDb(), b);
        QCOMPARE(ReadCurrentDb(d), b); // written at once

        // A row naming neither an alias nor a path cannot be chosen: nothing changes.
        {
            ModalAnswerer answerer(chooseRow(3));
            s.form->N3Click();
        }
        QCOMPARE(s.form->CurrentDb(), b);
        QVERIFY(s.form->Database()->isOpen());

        // A failed switch leaves the program without a connection, and
        // CurrentDb and the settings file as they were.
        const QByteArray settings = ReadBytes(d + "VRKX_Query.ini");
        {
            ModalAnswerer answerer(chooseRow(2));
            QVERIFY_THROWS_EXCEPTION(DbError, s.form->N3Click());
        }
        QVERIFY(!s.form->Database()->isOpen());
        QCOMPARE(s.form->Label_GDB->text(), QStringLiteral("???"));
        QCOMPARE(s.form->Label_About_DB->text(), QStringLiteral("???"));
        QCOMPARE(s.form->CurrentDb(), b);
        QCOMPARE(ReadBytes(d + "VRKX_Query.ini"), settings);

        // Cancel changes nothing.
        {
            ModalAnswerer answerer([](QWidget *m) { ModalAnswerer::reject(m); });
            s.form->N3Click();
        }
        QCOMPARE(s.form->Label_GDB->text(), QStringLiteral("???"));
    }

    void runButtonShowsTheFoundObjects()
    {
        const QString d = newStartupDir();
        writeSettings(d, {"A", "A1", storeA_, "u", "p"});
        Started s = start(d);
        s.form->Timer1->stop();
        FilterPage *page = s.form->filterPage;
        page->Memo_SQL->setPlainText("t_o.ID_THIS='1'");
        QString head;
        int rows = -1;
        {
            ModalAnswerer answerer([&](QWidget *modal) {
                if (auto *w = qobject_cast<TDlg_ViewQuery_Objects *>(modal)) {
                    head = w->Label_Head->text();
                    rows = w->DBGrid1->model()->rowCount();
                }
                ModalAnswerer::accept(modal);
            });
            page->SpeedButton3->click();
        }
        QCOMPARE(head, QStringLiteral("Результат фильтрации"));
        QCOMPARE(rows, 1);
        QVERIFY(page->Memo_SQL->toPlainText().isEmpty()); // "Очищать после выполнения"
    }

    // The toolkit's own dialogs, not the desktop's, and in Russian also where
    // the toolkit's translation has gaps (the file dialog's "Folder").
    void toolkitTextsInRussian()
    {
        QVERIFY(QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
        QCOMPARE(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"), QStringLiteral("Папка"));
    }

    void errorLeavingAHandlerIsShown()
    {
        // The program-wide handler shows the error and the program goes on.
        ModalAnswerer answerer;
        QTimer::singleShot(0, [] { throw DbError(QStringLiteral("Сбой для проверки")); });
        QTRY_COMPARE(answerer.seen, QStringList{"Сбой для проверки"});
    }
};

int main(int argc, char **argv)
{
    VrkxApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window.moc"
