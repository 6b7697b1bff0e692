// Reaching a store as a new user does: the choice offered when none opened
// at start (its "create" leaves the demo store open and remembered), the
// menu's file dialog, the database list's browse button, a path the
// settings file cannot carry, and Cancel of a long query, which is no error.

#include "app/database_list_dialog.h"
#include "app/demo_store_maker.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/store_choice.h"
#include "app/vrkx_application.h"
#include "app/welcome_dialog.h"
#include "common/modal_answerer.h"
#include "common/ordinary_user.h"
#include "common/test_store.h"
#include "db/database_list.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/engine_messages.h"
#include "db/store_wait.h"
#include "query/filter_page.h"
#include "results/save_dialog.h"
#include "support/grid_layout_file.h"
#include "widgets/string_grid.h"
#include "widgets/wait_window.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <utility>

namespace {

// Runs the first tick of a main window, its modal windows answered by the
// answerer the caller holds (a default one when it holds none).
std::unique_ptr<TForm1> started(const QString &startupDir, ModalAnswerer *answerer = nullptr,
                                const QString &store = QString())
{
    std::unique_ptr<ModalAnswerer> quiet;
    if (!answerer)
        quiet = std::make_unique<ModalAnswerer>();
    static TDlg_Enter_In_Application welcome;
    auto form = std::make_unique<TForm1>(startupDir, nullptr);
    form->setWelcomeDialog(&welcome);
    form->setStoreArgument(store);
    form->show();
    if (!QTest::qWaitFor([&] { return !form->FirstTick() && form->Timer1->isActive(); }, 120000))
        qWarning("the first tick did not end");
    form->Timer1->stop();
    return form;
}

// Picks the file in a file dialog as a user types it.
void pick(QFileDialog *dialog, const QString &file)
{
    dialog->setDirectory(QFileInfo(file).absolutePath());
    auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit");
    edit->setText(QFileInfo(file).fileName());
    static_cast<QDialog *>(dialog)->accept();
}

} // namespace

class TestStoreReach : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    int case_ = 0;

    QString newStartupDir()
    {
        const QString d = dir_.filePath(QStringLiteral("prog%1/").arg(++case_));
        QDir().mkpath(d);
        return d;
    }

private slots:
    void initTestCase()
    {
        // The bare default name must not resolve to a file in the working folder.
        QDir::setCurrent(dir_.path());
    }

    // An installed program's first start: the bare default name fails, the
    // error is followed by the choice, "create" makes the demo store under
    // the wait window and opens it; the next start opens it again.
    void firstStartCreatesTheDemoStore()
    {
        const QString d = newStartupDir();
        QStringList waitTexts;
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *choice = qobject_cast<StoreChoiceDialog *>(modal))
                choice->createDemoButton->click();
            else if (auto *wait = qobject_cast<StoreWaitDialog *>(modal))
                waitTexts << wait->label->text();
            else
                ModalAnswerer::accept(modal);
        });
        auto form = started(d, &answerer);
        QCOMPARE(answerer.seen.size() - waitTexts.size(), 3);
        QVERIFY2(answerer.seen[0].startsWith("Файл базы данных не найден"), qPrintable(answerer.seen[0]));
        QCOMPARE(answerer.seen[1], QStringLiteral("StoreChoiceDialog"));
        QCOMPARE(answerer.seen.last(), QStringLiteral("Dlg_Enter_In_Application"));
        const DatabaseEntry demo{kDemoStoreAbout, "VRKX_DB_001", d + "VRKX_Demo_DB.GDB", kDefaultUserName,
                                 kDefaultPassword};
        QVERIFY(form->Database()->isOpen());
        QCOMPARE(form->CurrentDb(), demo);
        QCOMPARE(form->Label_About_DB->text(), kDemoStoreAbout);
        QCOMPARE(ReadCurrentDb(d), demo);
        QVERIFY(ObjectCount(form->Database()) > 100);
        form->close();
        form.reset();

        ModalAnswerer again;
        form = started(d, &again);
        QCOMPARE(again.seen, QStringList{"Dlg_Enter_In_Application"});
        QVERIFY(form->Database()->isOpen());
        QCOMPARE(form->Label_GDB->text(), demo.FullFileNameGDB);
        form->close();
    }

    // Where the program's file dialogs start: the portable program's own
    // folder; an installed program's user folder is hidden, so the user's
    // documents (or home, without them).
    void dialogStartFolder_data()
    {
        QTest::addColumn<QString>("startupDir");
        QTest::addColumn<QString>("documents");
        QTest::addColumn<QString>("start");
        const QString docs = dir_.filePath("Документы");
        QDir().mkpath(docs);
        QTest::newRow("portable") << "/opt/q/" << docs << "/opt/q/";
        QTest::newRow("installed") << "/home/u/.local/share/VRKX_Query/" << docs << docs + "/";
        QTest::newRow("installed, no documents") << "/home/u/.local/share/VRKX_Query/" << docs + "/нет"
                                                 << dir_.path() + "/";
    }
    void dialogStartFolder()
    {
        QFETCH(QString, startupDir);
        QFETCH(QString, documents);
        QFETCH(QString, start);
        QCOMPARE(DialogStartFolder(startupDir, "/opt/q", documents, dir_.path()), start);
    }

    // Making the demo store, stopped (Cancel) or refused (the name taken),
    // leaves nothing of its own behind and never touches a file that was there.
    void demoStoreLeavesNothingBehind()
    {
        const QString d = newStartupDir();
        const QString path = DemoStoreFileName(d);
        QCOMPARE(path, d + "VRKX_Demo_DB.GDB");
        QTimer::singleShot(20, [] { CancelWaitingCall(); });
        QVERIFY(!MakeDemoStore(path));
        QVERIFY(QDir(d).entryList(QDir::Files).isEmpty());
        QFile taken(path);
        QVERIFY(taken.open(QIODevice::WriteOnly) && taken.write("mine") == 4);
        taken.close();
        QVERIFY_THROWS_EXCEPTION(DbError, MakeDemoStore(path));
        QCOMPARE(ReadBytes(path), QByteArray("mine"));
        QCOMPARE(DemoStoreFileName(d), d + "VRKX_Demo_DB-1.GDB");
    }

    // "Продолжить без базы данных" leaves the program without a store; a
    // cancelled file dialog brings the choice back.
    void choiceGoesOnWithoutAStore()
    {
        const QString d = newStartupDir();
        int choices = 0;
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *choice = qobject_cast<StoreChoiceDialog *>(modal))
                (++choices == 1 ? choice->openFileButton : choice->goOnButton)->click();
            else if (auto *dialog = qobject_cast<QFileDialog *>(modal))
                dialog->reject();
            else
                ModalAnswerer::accept(modal);
        });
        auto form = started(d, &answerer);
        QCOMPARE(choices, 2);
        QVERIFY(answerer.seen.contains("OpenDatabaseFileDialog"));
        QVERIFY(!form->Database()->isOpen());
        QVERIFY(QDir(d).entryList({"*.GDB"}).isEmpty());
    }

    // "Открыть файл базы данных ..." opens the file chosen as "Выбрать"
    // would, and it is remembered.
    void openFileFromTheMenu()
    {
        const QString d = newStartupDir();
        QDir().mkpath(dir_.filePath("Документы"));
        const QString store = MakeTestStore(dir_.filePath("Документы"), "склад.gdb",
                                            [](StoreWriter &w) { AddObject(w, "1", "А"); });
        SaveCurrentDb(d, {"нет", "", d + "нет.gdb", "u", "p"});
        auto form = started(d);
        QStringList filters;
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                filters = dialog->nameFilters();
                pick(dialog, store);
            } else {
                ModalAnswerer::accept(modal);
            }
        });
        QCOMPARE(form->openDatabaseFile->text(), QStringLiteral("Открыть файл базы данных ..."));
        form->openDatabaseFile->trigger();
        QCOMPARE(answerer.seen, QStringList{"OpenDatabaseFileDialog"});
        QCOMPARE(filters.value(0), QStringLiteral("Базы данных Firebird (*.gdb *.fdb)"));
        QVERIFY(form->Database()->isOpen());
        QCOMPARE(form->Label_GDB->text(), store);
        QCOMPARE(ReadCurrentDb(d).FullFileNameGDB, store);
        QCOMPARE(ReadCurrentDb(d).About_DB, QStringLiteral("склад.gdb"));
    }

    // A path whose letters Windows-1251 lacks opens for the run; the user is
    // told once, and the settings file keeps what it held.
    void pathTheSettingsCannotCarry()
    {
        const QString d = newStartupDir();
        QDir().mkpath(dir_.filePath("Café"));
        const QString store = MakeTestStore(dir_.filePath("Café"), "склад.gdb",
                                            [](StoreWriter &w) { AddObject(w, "1", "А"); });
        const QString other = MakeTestStore(dir_.path(), "other.gdb", [](StoreWriter &w) { AddObject(w, "1", "Б"); });
        SaveCurrentDb(d, {"Б", "", other, "u", "p"});
        const QByteArray settings = ReadBytes(d + AppFiles::Settings);
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *dialog = qobject_cast<QFileDialog *>(modal))
                pick(dialog, store);
            else
                ModalAnswerer::accept(modal);
        });
        auto form = started(d, &answerer, store);
        QVERIFY(form->Database()->isOpen());
        QCOMPARE(form->Label_GDB->text(), store);
        QCOMPARE(answerer.seen.count(UnrememberableStoreMessage(store)), 1);
        form->openDatabaseFile->trigger(); // the same again: not told twice
        QVERIFY(form->Database()->isOpen());
        QCOMPARE(answerer.seen.count(UnrememberableStoreMessage(store)), 1);
        form->close();
        QCOMPARE(ReadBytes(d + AppFiles::Settings), settings);
    }

    // The path cell of the list editor browses for the file; a path the list
    // cannot carry is refused with a message, never saved mangled.
    void listBrowsesForTheFile()
    {
        const QString d = newStartupDir();
        const QString store = MakeTestStore(dir_.path(), "из списка.fdb", [](StoreWriter &w) { AddObject(w, "1", "А"); });
        QDir().mkpath(dir_.filePath("Straße"));
        const QString unstorable = MakeTestStore(dir_.filePath("Straße"), "s.fdb", [](StoreWriter &) {});
        QString toPick = unstorable;
        bool buttonShown = false, hiddenElsewhere = false, listAnswered = false;
        QStringList cells;
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *list = qobject_cast<TDlg_LocalList_DB *>(modal)) {
                // Active again after each file dialog: answered once.
                if (std::exchange(listAnswered, true))
                    return;
                list->SG_DB->setCurrentCell(0, 1);
                hiddenElsewhere = !list->browseButton->isVisible();
                list->SG_DB->setCurrentCell(2, 1);
                // Placed once the grid has laid out its cells.
                buttonShown = QTest::qWaitFor([&] { return list->browseButton->isVisible(); }, 3000);
                list->browseButton->click();
                cells << list->SG_DB->cell(2, 1);
                toPick = store;
                list->browseButton->click();
                cells << list->SG_DB->cell(2, 1) << list->SG_DB->cell(0, 1);
                list->accept();
            } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                pick(dialog, toPick);
            } else {
                ModalAnswerer::accept(modal);
            }
        });
        QVERIFY(EditDatabaseList(d + AppFiles::DatabaseList));
        QVERIFY(hiddenElsewhere);
        QVERIFY(buttonShown);
        QCOMPARE(cells, (QStringList{"", store, "из списка.fdb"}));
        QCOMPARE(answerer.seen.count(UnstorablePathMessage(unstorable)), 1);
        const auto layout = ReadGridLayoutFile(d + AppFiles::DatabaseList);
        QVERIFY(layout);
        QCOMPARE(DatabaseListEntries(*layout).value(0).FullFileNameGDB, store);
    }

    // Cancel in the wait window of a long query: one box "Запрос отменён.",
    // no "Error!" box with the statement, nothing in English.
    void cancelIsNoError()
    {
        const QString d = newStartupDir();
        const QString store = MakeTestStore(dir_.path(), "long.fdb", [](StoreWriter &w) {
            for (int i = 0; i < 300; ++i)
                AddObject(w, QString::number(i + 1), QStringLiteral("Объект %1").arg(i));
        });
        SaveCurrentDb(d, {"long", "", store, "u", "p"});
        auto form = started(d);
        QVERIFY(form->Database()->isOpen());
        form->filterPage->Memo_SQL->setPlainText(
            "(SELECT COUNT(*) FROM OBJECTS_TREE a, OBJECTS_TREE b, OBJECTS_TREE c, OBJECTS_TREE d) > 0");
        QStringList boxes;
        bool waited = false;
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *wait = qobject_cast<StoreWaitDialog *>(modal)) {
                waited = true;
                wait->cancelButton->click();
            } else {
                if (auto *box = qobject_cast<QMessageBox *>(modal))
                    boxes << box->windowTitle() + "|" + box->text() + "|" + box->informativeText();
                ModalAnswerer::accept(modal);
            }
        });
        form->filterPage->SpeedButton3->click();
        QVERIFY(waited);
        QCOMPARE(answerer.seen.filter("Error!"), QStringList());
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].endsWith("|Запрос отменён.|"), qPrintable(boxes[0]));
        QVERIFY2(!boxes[0].section('|', 1).contains(QRegularExpression("[A-Za-z]")), qPrintable(boxes[0]));
        QVERIFY(form->Database()->isOpen()); // the store stays as it was
        QCOMPARE(ObjectCount(form->Database()), 300);
    }
};

int main(int argc, char **argv)
{
    VrkxApplication app(argc, argv);
    TestStoreReach test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_store_reach.moc"
