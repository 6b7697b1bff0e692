#include "common/modal_answerer.h"
#include "common/test_store.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "results/result_window.h"
#include "support/codec_1251.h"
#include "widgets/messages.h"
#include "widgets/open_document.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

const QString kView = QStringLiteral("Желаете посмотреть ?");
constexpr int kObjects = 12;

void fill(StoreWriter &w)
{
    AddType(w, "1", "Объект обычный", "Объект", "OBJ", 1, 0);
    AddObject(w, "01", "<script>alert(1)</script>", "1");
    AddObject(w, "02", "Цех \"А\" & склад", "1", "01", "[01]");
    for (int i = 3; i <= kObjects; ++i)
        AddObject(w, QStringLiteral("%1").arg(i, 2, 10, QChar('0')), QStringLiteral("Объект %1").arg(i), "1");
}

// The dialog's own accept: it asks before replacing a file.
void save(QFileDialog *d)
{
    static_cast<QDialog *>(d)->accept();
}

// As the user does it: opens the folder and types the name.
void type(QFileDialog *d, const QString &dir, const QString &name)
{
    d->setDirectory(dir);
    auto *edit = d->findChild<QLineEdit *>("fileNameEdit");
    QVERIFY(edit);
    edit->setText(name);
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestHtmlExport : public QObject {
    Q_OBJECT
    QTemporaryDir storeDir_;
    DbConnection conn_;

private slots:
    void initTestCase()
    {
        // The file dialog keeps its history in the user's settings: not this
        // machine's, the test's own.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(storeDir_.filePath("config")));
        QVERIFY(QDir(storeDir_.path()).mkdir("temp"));
        qputenv("TMPDIR", QFile::encodeName(storeDir_.filePath("temp")));
        conn_.setDatabaseName(MakeTestStore(storeDir_.path(), "export.fdb", fill));
        conn_.setUserName("VeldaRunKX");
        conn_.open();
    }
    void cleanup() { SetDocumentOpener({}); }

    // Three exports from one window, then one that cannot be written.
    void exportsFromOneWindow()
    {
        // The folder the dialog opens in first, and the one chosen there.
        QTemporaryDir first, chosen;
        const QString page = chosen.filePath("page.htm");
        const QString gone = chosen.filePath("gone/page.htm");
        QStringList opened, offered;
        SetDocumentOpener([&](const QString &f) { opened << f; return true; });

        std::function<void(QFileDialog *)> onDialog;
        int viewAnswer = QMessageBox::Cancel;
        QStringList savedTo; // the line below the question: where the page went
        bool started = false;
        std::function<void(TDlg_ViewQuery_Objects *)> steps;
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *d = qobject_cast<QFileDialog *>(modal)) {
                offered << d->selectedFiles().value(0);
                onDialog(d);
                if (d->isVisible()) // a failed check inside must not leave it waiting
                    d->reject();
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                if (box->text() == kView) {
                    savedTo << box->informativeText();
                    box->done(viewAnswer);
                }
                else if (QAbstractButton *yes = box->button(QMessageBox::Yes)) // replace the file
                    yes->click();
                else
                    ModalAnswerer::accept(box);
            } else if (auto *w = qobject_cast<TDlg_ViewQuery_Objects *>(modal); w && !started) {
                started = true;
                steps(w);
                w->reject();
            }
        });
        steps = [&](TDlg_ViewQuery_Objects *w) {
            w->SD1.initialDir = first.path() + "/";
            QVERIFY(w->SpeedButton3->isEnabled());
            w->Query1->setCurrentRow(3); // where the user left the grid

            // A name without extension; Cancel at the question. While the
            // dialog is open, the page written has no name in any folder.
            onDialog = [&](QFileDialog *fd) {
                QCOMPARE(entries(first.path()) + entries(chosen.path()) + entries(storeDir_.filePath("temp")),
                         QStringList());
                type(fd, chosen.path(), "page");
                save(fd);
            };
            w->SpeedButton3->click();
            QVERIFY(QFile::exists(page));
            const QByteArray bytes = ReadBytes(page);
            QCOMPARE(bytes.count("    <tr>\r\n"), kObjects + 1);
            QVERIFY(bytes.contains("&lt;script&gt;alert(1)&lt;/script&gt;"));
            QVERIFY(bytes.contains(Cp1251::encode("Цех &quot;А&quot; &amp; склад")));
            QCOMPARE(w->Query1->currentRow(), 3); // the grid stays where it was
            QVERIFY(opened.isEmpty());

            // The chosen name is offered again; Cancel writes nothing.
            QFile old(page);
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
            old.close();
            onDialog = [](QFileDialog *fd) { fd->reject(); };
            w->SpeedButton3->click();
            QCOMPARE(ReadBytes(page), QByteArray("old"));

            // The same name again: replaced after the question, then opened.
            onDialog = save;
            viewAnswer = QMessageBox::Ok;
            w->SpeedButton3->click();
            QVERIFY(ReadBytes(page).startsWith("<html>\r\n"));
            QCOMPARE(opened, QStringList{page});

            // The chosen folder is gone when the page is moved there:
            // reported, nothing left behind.
            onDialog = [&](QFileDialog *fd) {
                QVERIFY(QDir(chosen.path()).mkdir("gone"));
                type(fd, chosen.filePath("gone"), "page.htm");
                QVERIFY(QDir(chosen.filePath("gone")).removeRecursively());
                save(fd);
            };
            w->SpeedButton3->click();
        };
        QString result;
        ShowQueryResult("t", &conn_, "t_o.ID_THIS < '9'", "", "", result);
        QVERIFY(started);
        QCOMPARE(offered, (QStringList{first.filePath("VRKX_Query_Result.htm"), page, page, page}));
        QCOMPARE(answerer.seen.count(kView), 2);
        QCOMPARE(savedTo, QStringList(2, SavedToText(page)));
        QCOMPARE(answerer.seen.filter(gone).size(), 1);
        QCOMPARE(entries(first.path()), QStringList());
        QCOMPARE(entries(chosen.path()), QStringList{"page.htm"});
        QCOMPARE(opened.size(), 1);
    }

    // A blank name, or a file that is not there: nothing is handed to the
    // desktop, and the user is told only when asked for.
    void openDocumentRefused_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("showMessages");
        QTest::addColumn<QStringList>("seen");
        QTest::newRow("blank, quiet") << " \t\r\n" << false << QStringList();
        QTest::newRow("blank, with messages") << " \t\r\n" << true << QStringList{"Имя файла документа не задано"};
        QTest::newRow("missing, quiet") << "/nonexistent/page.htm" << false << QStringList();
        QTest::newRow("missing, with messages")
            << " /nonexistent/page.htm " << true << QStringList{"Ошибка при открытии документа : /nonexistent/page.htm"};
    }
    void openDocumentRefused()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, showMessages);
        QFETCH(QStringList, seen);
        bool called = false;
        SetDocumentOpener([&](const QString &) { return called = true; });
        ModalAnswerer answerer;
        QVERIFY(!OpenDocument(showMessages, nullptr, fileName, SW_SHOWMAXIMIZED));
        QCoreApplication::processEvents();
        QCOMPARE(answerer.seen, seen);
        QVERIFY(!called);
    }
};

QTEST_MAIN(TestHtmlExport)
#include "test_html_export.moc"
