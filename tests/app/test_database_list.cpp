#include "common/modal_answerer.h"
#include "common/test_store.h"
#include "app/database_list_dialog.h"
#include "support/app_error.h"
#include "widgets/grid_file.h"
#include "widgets/string_grid.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

void trigger(TDlg_LocalList_DB *dlg, const char *item)
{
    dlg->PopupMenu1->findChild<QAction *>(QString::fromLatin1(item))->trigger();
}

// Works the list dialog as a user would, then presses OK or Cancel.
std::function<void(QWidget *)> work(std::function<void(TDlg_LocalList_DB *)> steps, bool ok)
{
    return [steps, ok](QWidget *modal) {
        auto *dlg = qobject_cast<TDlg_LocalList_DB *>(modal);
        if (!dlg) {
            ModalAnswerer::accept(modal);
            return;
        }
        steps(dlg);
        (ok ? dlg->OKBtn : dlg->CancelBtn)->click();
    };
}

QList<QStringList> rowsOf(const QString &path)
{
    StringGrid grid;
    GridLoadFromFile(&grid, path);
    QList<QStringList> out;
    for (int r = 0; r < grid.rowCount(); ++r)
        out << grid.rowTexts(r);
    return out;
}

} // namespace

class TestDatabaseList : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString list() const { return dir_.filePath("VRKX_LocalList_DB.txt"); }

private slots:
    void init() { QFile::remove(list()); }

    void editCreatesTheList()
    {
        ModalAnswerer answerer(work(
            [](TDlg_LocalList_DB *dlg) {
                QCOMPARE(dlg->windowTitle(), QStringLiteral("Список доступных баз данных"));
                QCOMPARE(dlg->SG_DB->rowCount(), 2);
                QCOMPARE(dlg->SG_DB->rowTexts(0), DatabaseListHeaders());
                QCOMPARE(dlg->SG_DB->defaultRowHeight(), std::max(18, dlg->SG_DB->textHeight("A") * 9 / 8));
                dlg->SG_DB->setRowTexts(1, {"Склад", "S1", " /data/s.gdb ", "ivan", "pw"});
                trigger(dlg, "N1"); // add
                QCOMPARE(dlg->SG_DB->currentRow(), 2);
                dlg->SG_DB->setRowTexts(2, {"Архив", "", "/data/a.gdb", "", ""});
                dlg->SG_DB->setCurrentCell(0, 2);
                trigger(dlg, "N5"); // insert before "Архив"
                dlg->SG_DB->setRowTexts(2, {"Вставлен", "I1", "", "", ""});
                trigger(dlg, "N7"); // fit
            },
            true));
        QVERIFY(EditDatabaseList("  " + list() + "  "));
        QCOMPARE(rowsOf(list()), (QList<QStringList>{DatabaseListHeaders(),
                                                     {"Склад", "S1", " /data/s.gdb ", "ivan", "pw"},
                                                     {"Вставлен", "I1", "", "", ""},
                                                     {"Архив", "", "/data/a.gdb", "", ""}}));
        QVERIFY(!(QFile::permissions(list()) & QFileDevice::ReadOther));
    }

    // Widths the user gave the columns are saved with the list, yet every
    // open fits the columns to their contents again.
    void fittedOnEveryOpen()
    {
        WriteDatabaseList(list(), {{"Склад", "S1", "/data/a/rather/long/path/to/the/store.gdb", "ivan", "pw"}});
        int fitted = -1, reopened = -2;
        {
            ModalAnswerer first(work(
                [&](TDlg_LocalList_DB *dlg) {
                    fitted = dlg->SG_DB->colWidth(2);
                    dlg->SG_DB->setColWidth(2, fitted + 150);
                },
                true));
            QVERIFY(EditDatabaseList(list()));
        }
        ModalAnswerer second(work([&](TDlg_LocalList_DB *dlg) { reopened = dlg->SG_DB->colWidth(2); }, false));
        EditDatabaseList(list());
        QCOMPARE(reopened, fitted);
    }

    void deleteAndCancel()
    {
        WriteDatabaseList(list(), {{"A", "A1", "/a", "", ""}, {"B", "", "/b", "", ""}});
        const QByteArray before = ReadBytes(list());
        {
            ModalAnswerer answerer(work(
                [](TDlg_LocalList_DB *dlg) {
                    dlg->SG_DB->setCurrentCell(0, 1);
                    trigger(dlg, "N3");
                    QCOMPARE(dlg->SG_DB->rowCount(), 2);
                    dlg->SG_DB->setCell(0, 1, "edited");
                },
                false));
            QVERIFY(!EditDatabaseList(list()));
        }
        QCOMPARE(ReadBytes(list()), before);
        {
            ModalAnswerer answerer(work(
                [](TDlg_LocalList_DB *dlg) {
                    dlg->SG_DB->setCurrentCell(0, 1);
                    trigger(dlg, "N3");
                    trigger(dlg, "N3"); // the only data row is emptied, not removed
                },
                true));
            QVERIFY(EditDatabaseList(list()));
        }
        QCOMPARE(rowsOf(list()), (QList<QStringList>{DatabaseListHeaders(), {"", "", "", "", ""}}));
    }

    void editModeOnly()
    {
        TDlg_LocalList_DB dlg;
        dlg.Edit_fnLocalList->setText(list());
        ModalAnswerer answerer([](QWidget *m) {
            auto *d = qobject_cast<TDlg_LocalList_DB *>(m);
            QVERIFY(!d->SG_DB->isEditable());
            QVERIFY(d->Edit_fnLocalList->isReadOnly());
            d->CancelBtn->click();
        });
        QVERIFY(!dlg.ShowDatabaseList(false));
    }

    void badFileGivesAnEmptyGridThatSavingReplaces()
    {
        QFile f(list());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a list at all\r\n");
        f.close();
        ModalAnswerer answerer(work(
            [](TDlg_LocalList_DB *dlg) {
                QCOMPARE(dlg->SG_DB->rowCount(), 2);
                QCOMPARE(dlg->SG_DB->rowTexts(1), (QStringList{"", "", "", "", ""}));
                dlg->SG_DB->setRowTexts(1, {"Новая", "N1", "/n", "", ""});
            },
            true));
        QVERIFY(EditDatabaseList(list()));
        QCOMPARE(rowsOf(list()).at(1).at(0), QStringLiteral("Новая"));
    }

    void unwritableFolderSavesNothing()
    {
        ModalAnswerer answerer(work([](TDlg_LocalList_DB *) {}, true));
        QVERIFY(!EditDatabaseList("/proc/self/VRKX_LocalList_DB.txt"));
        QVERIFY(!EditDatabaseList(""));
    }

    void fileThatCannotBeReplacedRaises()
    {
        const QString blocked = dir_.filePath("blocked");
        QDir().mkpath(blocked + "/VRKX_LocalList_DB.txt");
        ModalAnswerer answerer(work([](TDlg_LocalList_DB *) {}, true));
        try {
            EditDatabaseList(blocked + "/VRKX_LocalList_DB.txt");
            QFAIL("no error");
        } catch (const AppError &e) {
            QVERIFY(e.message().startsWith("Cannot create file \"" + blocked + "/VRKX_LocalList_DB.txt\". "));
        }
        QVERIFY(!QApplication::activeModalWidget());
    }

    void choose_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QStringList>("entry");
        QTest::newRow("full row") << 1 << true << QStringList{"Склад", "S1", "/data/s.gdb", "ivan", "pw"};
        QTest::newRow("alias only") << 2 << true << QStringList{"Только псевдоним", "AL", "", "VELDARUNKX", "qzmt"};
        QTest::newRow("no alias no path") << 3 << false << QStringList{"", "", "", "", ""};
    }
    void choose()
    {
        QFETCH(int, row);
        QFETCH(bool, chosen);
        QFETCH(QStringList, entry);
        WriteDatabaseList(list(), {{" Склад ", " S1 ", "  /data/s.gdb  ", " ivan ", " pw "},
                           {"Только псевдоним", "AL", "", "", ""},
                           {"Описание", "", " ", "user", ""}});
        ModalAnswerer answerer(work([row](TDlg_LocalList_DB *dlg) { dlg->SG_DB->setCurrentCell(0, row); }, true));
        DatabaseEntry e{"x", "x", "x", "x", "x"};
        QCOMPARE(ChooseDatabaseEntry(list(), e), chosen);
        QCOMPARE((QStringList{e.About_DB, e.AliasBDE5, e.FullFileNameGDB, e.USER_NAME, e.PASSWORD}), entry);
    }

    // A list file that cannot be read is said to be so, and is kept beside
    // the new list before anything is saved over it.
    void unreadableListKeptAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("keptAs");
        QTest::newRow("bad signature") << QByteArray("[~~~COMMON]\r\nItsMe=~1\r\nColCount=5\r\n") << "VRKX_LocalList_DB.txt.bak";
        QTest::newRow("row count raised") << QByteArray("[~~~COMMON]\r\nItsMe=~9977553311\r\nColCount=5\r\nRowCount=90\r\n")
                                          << "VRKX_LocalList_DB.txt.bak";
        QTest::newRow("random bytes, .bak taken") << QByteArray("\x01\xfe\x80junk\r\n\x00\x13", 12)
                                                  << "VRKX_LocalList_DB.txt-1.bak";
    }
    void unreadableListKeptAside()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, keptAs);
        QFile::remove(list() + ".bak");
        QFile::remove(dir_.filePath("VRKX_LocalList_DB.txt-1.bak"));
        if (keptAs.contains("-1"))
            QVERIFY(QFile::copy(QFINDTESTDATA("test_database_list.cpp"), list() + ".bak"));
        QFile f(list());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        ModalAnswerer answerer(work([](TDlg_LocalList_DB *dlg) { dlg->SG_DB->setCell(0, 1, "Новая"); }, true));
        QVERIFY(EditDatabaseList(list()));
        QCOMPARE(answerer.seen.value(0), UnreadableListMessage(list(), true));
        QVERIFY2(answerer.seen.join('|').contains(dir_.filePath(keptAs)), qPrintable(answerer.seen.join('|')));
        QCOMPARE(ReadBytes(dir_.filePath(keptAs)), content);
        QCOMPARE(rowsOf(list()).value(1).value(0), QStringLiteral("Новая"));
    }

    // A cell the list file could not give back as it is keeps the dialog
    // open with a message naming it; nothing is saved until it is mended.
    void unstorableCellRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("column header") << "[~~-^v-~COL_1]";
        QTest::newRow("line break") << "две\nстроки";
    }
    void unstorableCellRefused()
    {
        QFETCH(QString, text);
        int round = 0;
        ModalAnswerer answerer(work([&](TDlg_LocalList_DB *dlg) {
            dlg->SG_DB->setCell(2, 1, ++round == 1 ? text : QStringLiteral("/data/ok.gdb"));
        }, true));
        QVERIFY(EditDatabaseList(list()));
        QCOMPARE(round, 2);
        QVERIFY(answerer.seen.value(1).startsWith(QStringLiteral("Строка 1, колонка \"Полный путь к GDB-файлу\"")));
        QCOMPARE(rowsOf(list()).value(1).value(2), QStringLiteral("/data/ok.gdb"));
    }

    void chooseWithoutFile()
    {
        ModalAnswerer answerer(work([](TDlg_LocalList_DB *) {}, true));
        DatabaseEntry e;
        QVERIFY(!ChooseDatabaseEntry(list(), e));
        QVERIFY(!QFile::exists(list()));
    }
};

QTEST_MAIN(TestDatabaseList)
#include "test_database_list.moc"
