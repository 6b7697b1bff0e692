#include "common/modal_answerer.h"
#include "common/test_store.h"
#include "query/condition_file.h"
#include "query/filter_page.h"
#include "support/app_error.h"
#include "widgets/window_memory.h"
#include "query/prop_number_grid.h"
#include "widgets/string_grid.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QImage>
#include <QKeyEvent>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QFocusEvent>
#include <QTest>
#include <QToolButton>

namespace {

void click(QAbstractButton *button)
{
    QCoreApplication::processEvents(); // lay out a page just shown
    // Check boxes and radio buttons take clicks on their box and caption only.
    const bool boxed = qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button);
    const QPoint at = boxed ? QPoint(8, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

// Types a text key by key, Cyrillic included.
void type(QWidget *edit, const QString &text)
{
    edit->setFocus();
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
        QApplication::sendEvent(edit, &release);
    }
}

QColor base(const QLineEdit *edit)
{
    return edit->palette().color(QPalette::Base);
}

void addType(FilterPage &page, const QString &id, const QString &name, bool ticked)
{
    auto *item = new QListWidgetItem(name, page.List_ObjTypes_Name);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    page.List_ObjTypes_ID->addItem(id);
}

// Double-clicks a cell of the numeric grid as the user would.
void doubleClickCell(StringGrid *grid, int row, int col)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, col));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

// Answers the input box with a text (or cancels it), and message boxes with OK.
std::function<void(QWidget *)> answerInput(const QString &text, bool ok = true)
{
    return [text, ok](QWidget *modal) {
        if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            if (ok) {
                input->setTextValue(text);
                input->accept();
            } else {
                input->reject();
            }
        } else {
            ModalAnswerer::accept(modal);
        }
    };
}

void trigger(FilterPage &page, const char *name)
{
    page.PopupMenu_PropNumber->findChild<QAction *>(QString::fromLatin1(name))->trigger();
}

QStringList companion(const FilterPage &page)
{
    QStringList out;
    for (int i = 0; i < page.ListBox_PropNumber->count(); ++i)
        out << page.ListBox_PropNumber->item(i)->text();
    return out;
}

} // namespace

class TestFilterPage : public QObject {
    Q_OBJECT
    std::unique_ptr<FilterPage> page_;

private slots:
    void init()
    {
        page_ = std::make_unique<FilterPage>();
        page_->resize(1200, 900);
        page_->show();
        QVERIFY(QTest::qWaitForWindowExposed(page_.get()));
        page_->ResetPropNumberGrid();
    }
    void cleanup() { page_.reset(); }

    void startState()
    {
        FilterPage &p = *page_;
        QCOMPARE(p.TN2->tabText(0), QStringLiteral("Запрос"));
        QCOMPARE(p.TN3->tabText(0), QStringLiteral("Объекты(процессы)"));
        QCOMPARE(p.TN3->tabText(1), QStringLiteral("Численные свойства"));
        QCOMPARE(p.TN3->tabText(2), QStringLiteral("Перечислимые свойства"));
        QCOMPARE(p.TN4->tabText(0), QStringLiteral("Обязательные свойства"));
        QCOMPARE(p.TN3->currentIndex(), 0);
        QCOMPARE(p.TN4->currentIndex(), 0);
        QVERIFY(p.CB_YesClearAfter->isChecked());
        QCOMPARE(p.RG_Ref->itemIndex(), 0);
        QCOMPARE(p.RG_Abstr->itemIndex(), 0);
        QCOMPARE(base(p.Edit_Date1), FilterPage::date1Colour());
        QCOMPARE(base(p.Edit_Date2), FilterPage::date2Colour());
        // The hints as they are, the keys beside them listed in README.
        const QStringList hints{p.SpeedButton6->toolTip(), p.SpeedButton2->toolTip(), p.SpeedButton3->toolTip(),
                                p.SpeedButton4->toolTip(), p.SpeedButton5->toolTip()};
        QCOMPARE(hints, (QStringList{"Очистить ...", "Сформировать запрос", "Открыть набор данных",
                                     "Положить в Clipboard", "Взять из Clipboard"}));
        QVERIFY(!p.SpeedButton3->icon().isNull());
        QVERIFY(!p.ListBox_PropNumber->isVisible());
        QVERIFY(!p.List_ObjTypes_ID->isVisible());
        // The numeric grid's start state.
        QCOMPARE(p.SG_PropNumber->colCount(), 4);
        QCOMPARE(p.SG_PropNumber->rowTexts(0), PropGrid::Headers());
        QCOMPARE(p.SG_PropNumber->rowTexts(1), (QStringList{"И", "", "", ""}));
        QCOMPARE(companion(p), (QStringList{"Top", PropGrid::NewRowLine}));
    }

    void workedExampleFromControls()
    {
        FilterPage &p = *page_;
        type(p.Edit_ID_Parent, "1001");
        click(p.CB_YesAncestor);
        addType(p, "12", "Насос", true);
        addType(p, "13", "Не отмеченный", false);
        addType(p, "15", "Осмотр", true);
        click(p.RG_Ref->buttons()->button(1));
        click(p.CB_Date1);
        type(p.Edit_Date1, "01.01.2005");
        click(p.CB_Date2);
        type(p.Edit_Date2, "31.12.2005");
        click(p.CB_YesFind_Name);
        type(p.Edit_Name_Str, "насос");
        p.TN4->setCurrentIndex(1);
        click(p.CB_YesFind_Info);
        type(p.Memo_Find_Info, "давление");
        QTest::keyClick(p.Memo_Find_Info, Qt::Key_Return);
        type(p.Memo_Find_Info, "температура");
        p.TN4->setCurrentIndex(0);
        click(p.RG_Abstr->buttons()->button(1));
        p.TN3->setCurrentIndex(1);
        click(p.CB_YesPropNumber);
        // The property itself comes from the numeric property picker.
        p.ListBox_PropNumber->item(1)->setText("op 27 0 0");
        p.SG_PropNumber->setCell(1, 1, "Давление [МПа]");
        {
            ModalAnswerer answerer(answerInput("20,5"));
            doubleClickCell(p.SG_PropNumber, 1, 2);
        }
        {
            ModalAnswerer answerer(answerInput(" 10 "));
            doubleClickCell(p.SG_PropNumber, 1, 3);
        }
        QCOMPARE(companion(p).at(1), QStringLiteral("op 27 20,5 10"));
        click(p.SpeedButton2);
        const QString expected = QStringLiteral(
            "(t_o.PARENTS_ID CONTAINING '[1001]')\nand\n(\nt_o.ID_TYPE IN ('12','15')\n)\nand\n(\nt_o.ITS_BASE>0\n)\n"
            "and\n(\nt_o.DATE_1>='01.01.2005'\nand\nt_o.DATE_1<='31.12.2005'\n)\nand\n(\n"
            "UPPER(t_o.NAME_MAX) CONTAINING UPPER('насос')\n)\nand\n(\nt_o.INFO CONTAINING 'давление'\nor\n"
            "t_o.INFO CONTAINING 'температура'\n)\nand\n(\nltl.ITS_ABSTRACT<=0\n)\nAND \n"
            "(t_o.ID_THIS IN (SELECT ID_OWNER FROM OBJECTS_PROP_NUMBER WHERE\n"
            " (ID_PROP='27'  and (PROP_VAL between 10 and 20.5)) \n))");
        const QStringList got = p.Memo_SQL->toPlainText().split('\n');
        const QStringList want = expected.split('\n');
        for (int i = 0; i < std::min(got.size(), want.size()); ++i)
            QCOMPARE(got[i], want[i]);
        QCOMPARE(got.size(), want.size());
    }

    void generateWritesNormalisedInputsBack()
    {
        FilterPage &p = *page_;
        click(p.CB_Date1);
        type(p.Edit_Date1, " 31.04.2005 ");
        click(p.CB_YesFind_Note);
        type(p.Edit_Note_Str, "  ремонт ");
        type(p.Edit_ID_Parent, " 7 ");
        click(p.SpeedButton2);
        QVERIFY(!p.CB_Date1->isChecked());
        QCOMPARE(p.Edit_Date1->text(), QStringLiteral("31.04.2005"));
        QCOMPARE(p.Edit_Note_Str->text(), QStringLiteral("ремонт"));
        QCOMPARE(p.Edit_ID_Parent->text(), QStringLiteral("7"));
        QCOMPARE(p.Memo_SQL->toPlainText(), QStringLiteral("(\nUPPER(t_o.NOTE) CONTAINING UPPER('ремонт')\n)"));
    }

    void parentAndAncestorExclusive()
    {
        FilterPage &p = *page_;
        click(p.CB_YesParent);
        click(p.CB_YesAncestor);
        QVERIFY(!p.CB_YesParent->isChecked());
        QVERIFY(p.CB_YesAncestor->isChecked());
        click(p.CB_YesParent);
        QVERIFY(p.CB_YesParent->isChecked());
        QVERIFY(!p.CB_YesAncestor->isChecked());
        click(p.CB_YesParent); // unticking never ticks the other
        QVERIFY(!p.CB_YesParent->isChecked());
        QVERIFY(!p.CB_YesAncestor->isChecked());
        // Ticked by the program (not a click), both may stay ticked.
        p.CB_YesParent->setChecked(true);
        p.CB_YesAncestor->setChecked(true);
        QVERIFY(p.CB_YesParent->isChecked());
    }

    void dateColours()
    {
        FilterPage &p = *page_;
        type(p.Edit_Date1, "3");
        QCOMPARE(base(p.Edit_Date1), FilterPage::invalidDateColour());
        type(p.Edit_Date1, "1.12.2005");
        QCOMPARE(base(p.Edit_Date1), FilterPage::date1Colour());
        p.Edit_Date1->clear();
        QCOMPARE(base(p.Edit_Date1), FilterPage::invalidDateColour());
        type(p.Edit_Date2, "29.02.1900");
        QCOMPARE(base(p.Edit_Date2), FilterPage::invalidDateColour());
        p.Edit_Date2->setText("29.02.2000");
        QCOMPARE(base(p.Edit_Date2), FilterPage::date2Colour());
    }

    // Leaving an untouched empty date line turns it red, as leaving any
    // line that holds no date does.
    void leavingAnEmptyDateLine()
    {
        FilterPage p;
        for (QLineEdit *edit : {p.Edit_Date1, p.Edit_Date2}) {
            QVERIFY(base(edit) != FilterPage::invalidDateColour());
            QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
            QApplication::sendEvent(edit, &out);
            QCOMPARE(base(edit), FilterPage::invalidDateColour());
        }
    }

    void runClearsAfterwardsWhenAsked()
    {
        FilterPage &p = *page_;
        QStringList conditions;
        p.setRunHandler([&](const QString &c) { conditions << c; });
        click(p.SpeedButton3); // empty page, empty memo
        QCOMPARE(conditions, QStringList{QString()});
        click(p.RG_Ref->buttons()->button(2));
        click(p.SpeedButton3); // generates first
        QCOMPARE(conditions.last(), QStringLiteral("(\r\nt_o.ITS_BASE<=0\r\n)"));
        QVERIFY(p.Memo_SQL->toPlainText().isEmpty());
        click(p.CB_YesClearAfter);
        p.Memo_SQL->setPlainText("t_o.NUMPP > 1");
        click(p.SpeedButton3); // the memo's text runs as it stands
        QCOMPARE(conditions.last(), QStringLiteral("t_o.NUMPP > 1"));
        QCOMPARE(p.Memo_SQL->toPlainText(), QStringLiteral("t_o.NUMPP > 1"));
    }

    void clipboardTools()
    {
        FilterPage &p = *page_;
        p.Memo_SQL->setPlainText("(\nt_o.ITS_BASE>0\n)");
        click(p.SpeedButton4);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("(\r\nt_o.ITS_BASE>0\r\n)"));
        click(p.SpeedButton6);
        QVERIFY(p.Memo_SQL->toPlainText().isEmpty());
        click(p.SpeedButton5);
        QCOMPARE(p.Memo_SQL->toPlainText(), QStringLiteral("(\nt_o.ITS_BASE>0\n)"));
        auto *data = new QMimeData;
        QImage image(2, 2, QImage::Format_RGB32);
        data->setImageData(image);
        QGuiApplication::clipboard()->setMimeData(data);
        click(p.SpeedButton5);
        QVERIFY(p.Memo_SQL->toPlainText().isEmpty());
    }

    void numericGridRows()
    {
        FilterPage &p = *page_;
        StringGrid *g = p.SG_PropNumber;
        trigger(p, "N15"); // add
        trigger(p, "N15");
        QCOMPARE(g->rowCount(), 4);
        QCOMPARE(g->currentRow(), 3);
        QCOMPARE(g->colTexts(0), (QStringList{"Опер.", "И", "И", "И"}));
        g->setCell(2, 2, "5");
        p.ListBox_PropNumber->item(2)->setText("op 9 5 0");
        g->setCurrentCell(1, 2);
        trigger(p, "N16"); // insert before row 2
        QCOMPARE(g->rowCount(), 5);
        QCOMPARE(g->cell(2, 3), QStringLiteral("5"));
        QCOMPARE(companion(p), (QStringList{"Top", PropGrid::NewRowLine, PropGrid::NewRowLine, "op 9 5 0",
                                            PropGrid::NewRowLine}));
        QCOMPARE(p.ListBox_PropNumber->currentRow(), 2);
        g->setCurrentCell(1, 3);
        trigger(p, "N19"); // delete the row with the bound
        QCOMPARE(g->rowCount(), 4);
        QCOMPARE(companion(p).size(), 4);
        QVERIFY(!companion(p).contains("op 9 5 0"));
        // Cancelled reset keeps every row; confirmed reset leaves one.
        {
            ModalAnswerer answerer([](QWidget *m) {
                qobject_cast<QMessageBox *>(m)->done(QMessageBox::Cancel);
            });
            trigger(p, "N21");
            QCOMPARE(answerer.seen, QStringList{"Желаете удалить ВСЕ ?"});
        }
        QCOMPARE(g->rowCount(), 4);
        {
            ModalAnswerer answerer;
            trigger(p, "N21");
        }
        QCOMPARE(g->rowCount(), 2);
        QCOMPARE(companion(p), (QStringList{"Top", PropGrid::NewRowLine}));
    }

    void deletingTheOnlyRowEmptiesIt()
    {
        FilterPage &p = *page_;
        StringGrid *g = p.SG_PropNumber;
        g->setRowTexts(1, {"И", "Давление [МПа]", "5", "1"});
        p.ListBox_PropNumber->item(1)->setText("op 27 5 1");
        g->setCurrentCell(1, 1);
        trigger(p, "N19");
        QCOMPARE(g->rowCount(), 2);
        QCOMPARE(g->rowTexts(1), (QStringList{"И", "", "", ""}));
        QCOMPARE(companion(p), (QStringList{"Top", PropGrid::NewRowLine}));
    }

    void boundEditing()
    {
        FilterPage &p = *page_;
        StringGrid *g = p.SG_PropNumber;
        {
            // Cancel leaves the cells, but the line gets one word per column.
            ModalAnswerer answerer([](QWidget *m) {
                auto *input = qobject_cast<QInputDialog *>(m);
                QCOMPARE(input->windowTitle(), QStringLiteral("ЗначMax"));
                QCOMPARE(input->labelText(), QStringLiteral("Введите значение"));
                QCOMPARE(input->textValue(), QStringLiteral("0"));
                input->reject();
            });
            doubleClickCell(g, 1, 2);
        }
        QCOMPARE(companion(p).at(1), QStringLiteral("op 0 0 0"));
        QCOMPARE(g->cell(2, 1), QString());
        {
            ModalAnswerer answerer(answerInput("abc"));
            doubleClickCell(g, 1, 3);
            QCOMPARE(answerer.seen.last(), QStringLiteral("Это = \"abc\" не ЧИСЛО !!!"));
        }
        QCOMPARE(g->cell(3, 1), QString());
        {
            ModalAnswerer answerer(answerInput("1e3"));
            doubleClickCell(g, 1, 3);
        }
        QCOMPARE(g->cell(3, 1), QStringLiteral("1e3"));
        QCOMPARE(companion(p).at(1), QStringLiteral("op 0 0 1e3"));
        // The header cell acts on the current cell.
        {
            ModalAnswerer answerer([](QWidget *m) {
                auto *input = qobject_cast<QInputDialog *>(m);
                QCOMPARE(input->textValue(), QStringLiteral("1e3"));
                input->reject();
            });
            const QRect header = g->visualRect(g->model()->index(0, 0));
            QTest::mouseDClick(g->viewport(), Qt::LeftButton, Qt::NoModifier, header.center());
            QCOMPARE(answerer.seen.size(), 1);
        }
        // So does a double click beside the cells.
        {
            ModalAnswerer answerer(answerInput("7"));
            p.TN3->setCurrentIndex(1);
            QCoreApplication::processEvents();
            const QPoint beside = g->viewport()->rect().bottomRight() - QPoint(5, 5);
            QVERIFY(!g->indexAt(beside).isValid());
            QTest::mouseDClick(g->viewport(), Qt::LeftButton, Qt::NoModifier, beside);
            QCOMPARE(answerer.seen.size(), 1);
        }
        QCOMPARE(g->cell(3, 1), QStringLiteral("7"));
    }

    // Generating and running from the keyboard, the focus in the SQL text too.
    void keys()
    {
        FilterPage &p = *page_;
        p.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p));
        int runs = 0;
        p.setRunHandler([&](const QString &) { ++runs; });
        p.CB_YesClearAfter->setChecked(false);
        p.RG_Ref->setItemIndex(1);
        p.Memo_SQL->setFocus();
        QTest::keyClick(p.Memo_SQL, Qt::Key_G, Qt::ControlModifier);
        QTest::keyClick(p.Memo_SQL, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(p.Memo_SQL, Qt::Key_F9);
        QCOMPARE(runs, 2);
        QCOMPARE(p.Memo_SQL->toPlainText(), QStringLiteral("(\nt_o.ITS_BASE>0\n)")); // no line break typed
    }


    // Tab walks the page as it reads: from the parent strip into the
    // notebook's shown page, then the SQL tools and the memo; in the memo Tab
    // and Ctrl+Tab go on (no tab typed, no page turned), Shift+Tab back.
    void tabOrder()
    {
        FilterPage &p = *page_;
        p.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p));
        p.CB_YesParent->setFocus();
        QList<QWidget *> visited;
        for (int i = 0; i < 80 && QApplication::focusWidget() != p.Memo_SQL; ++i) {
            visited << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), p.Memo_SQL);
        int last = -1;
        for (QWidget *w : QList<QWidget *>{p.CB_YesAncestor, p.Edit_ID_Parent, p.List_ObjTypes_Name, p.CB_Date1,
                                           p.Edit_Date2, p.Edit_Name_Str, p.Edit_Note_Str, p.SpeedButton6,
                                           p.saveConditionButton, p.openConditionButton, p.CB_YesClearAfter}) {
            const int at = int(visited.indexOf(w));
            QVERIFY2(at > last, qPrintable(w->objectName()));
            last = at;
        }
        QVERIFY(!visited.contains(p.Memo_Find_Info)); // on a page not shown

        QTest::keyClick(p.Memo_SQL, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != p.Memo_SQL);
        QVERIFY(!p.Memo_SQL->toPlainText().contains('\t'));
        p.Memo_SQL->setFocus();
        QTest::keyClick(p.Memo_SQL, Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(QApplication::focusWidget() != p.Memo_SQL);
        QCOMPARE(p.TN2->currentIndex(), 0);
        QCOMPARE(p.TN3->currentIndex(), 0);
        p.Memo_SQL->setFocus();
        QTest::keyClick(p.Memo_SQL, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), p.CB_YesClearAfter);
    }

    // A condition kept in a file and taken back: Windows-1251 byte for byte
    // under a Cyrillic path, replacing the memo so that Ctrl+Z undoes it;
    // the folder remembered for the dialog, the last ten files listed newest
    // first, a file gone leaves the list with a message.
    void conditionFiles()
    {
        FilterPage &p = *page_;
        RememberValue("FilterPage/recentConditions", QStringList());
        QTemporaryDir dir;
        const QString folder = dir.filePath("Условия отбора");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + "/Ёмкости.sql";
        const QString condition = "(\nt_o.NAME_MAX CONTAINING 'Ёмкость №1'\n)";
        p.Memo_SQL->setPlainText(condition);
        QVERIFY(p.saveConditionTo(path));
        QCOMPARE(ReadBytes(path), QByteArray("(\r\nt_o.NAME_MAX CONTAINING '\xA8\xEC\xEA\xEE\xF1\xF2\xFC \xB9"
                                             "1'\r\n)\r\n"));
        p.Memo_SQL->setPlainText("набранное раньше");
        p.openConditionFrom(path);
        QCOMPARE(p.Memo_SQL->toPlainText(), condition);
        p.Memo_SQL->undo();
        QCOMPARE(p.Memo_SQL->toPlainText(), QStringLiteral("набранное раньше"));
        QCOMPARE(p.recentConditions(), QStringList{path});

        // Through the dialog: it opens in the folder used last and adds ".sql".
        p.Memo_SQL->setPlainText("t_o.ID_THIS = '1'");
        QString opened;
        {
            ModalAnswerer answerer([&](QWidget *modal) {
                auto *d = qobject_cast<QFileDialog *>(modal);
                opened = d->directory().absolutePath();
                d->findChild<QLineEdit *>("fileNameEdit")->setText("через диалог"); // typed
                static_cast<QDialog *>(d)->accept(); // the dialog's own accept, through QDialog
            });
            p.saveConditionButton->click();
        }
        QCOMPARE(opened, folder);
        QCOMPARE(ReadBytes(folder + "/через диалог.sql"), QByteArray("t_o.ID_THIS = '1'\r\n"));

        for (int i = 0; i < 9; ++i) {
            p.Memo_SQL->setPlainText(QString::number(i));
            p.saveConditionTo(QStringLiteral("%1/%2.sql").arg(folder).arg(i));
        }
        QStringList recent = p.recentConditions();
        QCOMPARE(recent.size(), kRecentConditions);
        QCOMPARE(recent.first(), folder + "/8.sql");
        QCOMPARE(recent.last(), folder + "/через диалог.sql");
        QVERIFY(!recent.contains(path));

        // The menu: its second file opens and comes first.
        emit p.recentConditionsMenu->aboutToShow();
        QList<QAction *> items;
        for (QAction *a : p.recentConditionsMenu->actions())
            if (a->text().contains(".sql"))
                items << a;
        QCOMPARE(items.size(), 10);
        QCOMPARE(items[1]->text(), "&2  " + QDir::toNativeSeparators(folder + "/7.sql"));
        items[1]->trigger();
        QCOMPARE(p.Memo_SQL->toPlainText(), QStringLiteral("7"));
        QCOMPARE(p.recentConditions().first(), folder + "/7.sql");

        QVERIFY(QFile::remove(folder + "/8.sql"));
        ModalAnswerer answerer;
        p.openConditionFrom(folder + "/8.sql");
        QCOMPARE(answerer.seen, QStringList{"Файл условия не найден:\n" + QDir::toNativeSeparators(folder + "/8.sql")});
        QVERIFY(!p.recentConditions().contains(folder + "/8.sql"));
        QCOMPARE(p.Memo_SQL->toPlainText(), QStringLiteral("7"));
    }

    // What cannot be kept or read is said in Russian and changes nothing.
    void conditionFileRefusals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("no text") << QByteArray("abc\0def", 7) << "Это не текстовый файл условия";
        QTest::newRow("too large") << QByteArray(int(kConditionFileMaxBytes) + 1, 'x') << "слишком велик";
    }
    void conditionFileRefusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath("плохой.sql");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        page_->Memo_SQL->setPlainText("остаётся");
        try {
            page_->openConditionFrom(path);
            QFAIL("read");
        } catch (const AppError &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        QCOMPARE(page_->Memo_SQL->toPlainText(), QStringLiteral("остаётся"));
        // A folder that is not there cannot be written in.
        QVERIFY_THROWS_EXCEPTION(AppError, WriteConditionFile(dir.filePath("нет/такой.sql"), {"x"}));
        // A character Windows-1251 lacks is written as "?" only when the user agrees.
        page_->Memo_SQL->setPlainText("знак ✓");
        {
            ModalAnswerer refuse([](QWidget *modal) { ModalAnswerer::reject(modal); });
            QVERIFY(!page_->saveConditionTo(dir.filePath("знак.sql")));
        }
        QVERIFY(!QFile::exists(dir.filePath("знак.sql")));
        ModalAnswerer agree;
        QVERIFY(page_->saveConditionTo(dir.filePath("знак.sql")));
        QCOMPARE(ReadBytes(dir.filePath("знак.sql")), QByteArray("\xE7\xED\xE0\xEA ?\r\n"));
    }
};

QTEST_MAIN(TestFilterPage)
#include "test_filter_page.moc"
