#include "common/modal_answerer.h"
#include "common/test_store.h"
#include "db/dataset_model.h"
#include "db/db_connection.h"
#include "pickers/caption_follower.h"
#include "pickers/object_picker.h"
#include "db/db_error.h"
#include "support/app_error.h"
#include "widgets/messages.h"
#include "pickers/object_search.h"
#include "pickers/type_picker.h"
#include "query/filter_page.h"
#include "results/result_query.h"
#include "widgets/db_grid.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

void fill(StoreWriter &w)
{
    AddType(w, "1", "Агрегат", "Агр", "AGR", 1, 0);
    AddType(w, "2", "Ремонт", "Рем", "REP", 2, 0);
    AddType(w, "3", "Шаблон", "Шабл", "TPL", 1, 1);
    AddType(w, "4", "Странный вид", "Стр", "ODD", 7, 0);
    AddObject(w, "1001", "Завод", "1", "", "", "", "", 1);
    AddObject(w, "1002", "Насос главный", "1", "1001", "[1001]", "", "", 1);
    AddObject(w, "1003", "насос резервный", "1", "1001", "[1001]", "", "", 0);
    AddObject(w, "1004", "Ремонт насоса", "2", "1002", "[1001][1002]", "", "", 1);
    AddObject(w, "1005", "O'Brien", "2", "1002", "[1001][1002]", "", "", 0);
    AddObject(w, "1006", "Шаблон насоса", "3", "", "", "", "", 1);
    AddObject(w, "1007", "Без типа", "99", "", "", "", "", 1);
    AddObject(w, "1008", "Странный", "4", "", "", "", "", 1);
}

QStringList foundIds(TDlg_Tree_Obj_Select *w)
{
    DbDataSet *q = w->Query_Obj;
    while (!q->isAllFetched())
        q->fetchRows(100);
    QStringList ids;
    for (int r = 0; r < q->fetchedCount(); ++r)
        ids << q->text(q->fieldByName("ID_THIS")->index(), r);
    return ids;
}

} // namespace

class TestObjectPicker : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    DbConnection conn_;

private slots:
    // A lookup that fails while the user types is told once, not per key;
    // a new error is told again.
    void lookupErrorToldOnce()
    {
        QStringList told;
        SetErrorSink([&](const QString &text) { told << text; });
        QLineEdit edit;
        QLabel label;
        QString failure = "first";
        CaptionFollower follower(&edit, &label, [&](const QString &) -> QString { throw DbError(failure); });
        for (const char *text : {"1", "12", "123"}) {
            edit.setText(text);
            follower.update();
        }
        failure = "second";
        edit.setText("1234");
        follower.update();
        InstallErrorMessageBox();
        QCOMPARE(told, (QStringList{"first", "second"}));
        QCOMPARE(label.text(), QStringLiteral("???"));
    }

    void initTestCase()
    {
        conn_.setDatabaseName(MakeTestStore(dir_.path(), "objects.fdb", fill));
        conn_.setUserName("VeldaRunKX");
        conn_.open();
    }

    void searches_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("defaults: base objects")
            << "" << " (ITS_BASE>0) " << QStringList{"1001", "1002", "1004", "1006", "1007", "1008"};
        QTest::newRow("both boxes: no WHERE") << "ref" << ""
                                              << QStringList{"1001", "1002", "1003", "1004", "1005", "1006", "1007", "1008"};
        QTest::newRow("name anywhere, any letter case")
            << "ref name НАСОС" << " (UPPER(NAME_MAX) CONTAINING UPPER('НАСОС')) "
            << QStringList{"1002", "1003", "1004", "1006"};
        QTest::newRow("name beginning") << "ref begin Нас" << " (NAME_MAX STARTING WITH 'Нас') " << QStringList{"1002"};
        QTest::newRow("quote in the name") << "ref name O'B" << " (UPPER(NAME_MAX) CONTAINING UPPER('O''B')) "
                                           << QStringList{"1005"};
        QTest::newRow("type") << "type 2" << " (ITS_BASE>0)  and  (ID_TYPE='2') " << QStringList{"1004"};
        QTest::newRow("blank type writes nothing") << "type  " << " (ITS_BASE>0) "
                                                   << QStringList{"1001", "1002", "1004", "1006", "1007", "1008"};
        QTest::newRow("descendants, reference only") << "noBase desc 1001"
                                                     << " (ITS_BASE<=0)  and  (PARENTS_ID CONTAINING '[1001]') "
                                                     << QStringList{"1003", "1005"};
    }
    void searches()
    {
        QFETCH(QString, setting);
        QFETCH(QString, condition);
        QFETCH(QStringList, ids);
        TDlg_Tree_Obj_Select w;
        QVERIFY(w.bind(&conn_, QString()));
        QVERIFY(!w.Query_Obj->isOpen()); // nothing is sent before the search
        const QStringList words = setting.split(' ');
        if (words.contains("ref"))
            w.CB_YesRef_Obj->setChecked(true);
        if (words.contains("noBase")) {
            w.CB_YesRef_Obj->setChecked(true);
            w.CB_YesBase_Obj->setChecked(false);
        }
        if (words[0] == "type") {
            w.CB_Yes_TypeObj->setChecked(true);
            w.Edit_ID_TYPE->setText(" " + words.value(1) + " ");
        }
        for (const QString &kind : {QStringLiteral("name"), QStringLiteral("begin")}) {
            const qsizetype i = words.indexOf(kind);
            if (i >= 0) {
                w.CB_Yes_NameObj->setChecked(true);
                w.CB_YesContaining->setChecked(kind == "name");
                w.Edit_Substr->setText(words.value(i + 1));
            }
        }
        if (const qsizetype i = words.indexOf("desc"); i >= 0) {
            w.CB_YesParent_From_Tree->setChecked(true);
            w.Edit_ID_THIS->setText(words.value(i + 1));
        }
        w.SpeedButton1->click();
        QCOMPARE(w.Query_Obj->sql(), ObjectSearchLines(condition));
        QCOMPARE(w.Query_Obj->sql().contains("WHERE "), !condition.isEmpty());
        QCOMPARE(foundIds(&w), ids);
        if (words[0] == "type")
            QCOMPARE(w.Edit_ID_TYPE->text(), words.value(1));
    }

    void statementLines()
    {
        const QStringList lines = ObjectSearchLines(" (ITS_BASE>0) ");
        QCOMPARE(lines.mid(0, 3), (QStringList{"SELECT ", "NUMPP, ",
                                               "(select NAME_MAX from L_TYPEOBJ_LIST where ID_THIS=t_o.ID_TYPE) TYPE_NAME, "}));
        QCOMPARE(lines.mid(17), (QStringList{"(select ID_KIND from L_TYPEOBJ_LIST where ID_THIS=t_o.ID_TYPE) ID_KIND, ",
                                             "(select ITS_ABSTRACT from L_TYPEOBJ_LIST where ID_THIS=t_o.ID_TYPE) ITS_ABSTRACT, ",
                                             "(select ID_GRP from L_TYPEOBJ_LIST where ID_THIS=t_o.ID_TYPE) ID_GRP ",
                                             "FROM ", "OBJECTS_TREE t_o ", "WHERE ", " (ITS_BASE>0) ", "ORDER BY ",
                                             "ID_THIS "}));
    }

    // The window as a user works it: the boxes never both clear, a click on
    // a found row chooses it, OK confirms only an existing object.
    void workingTheWindow()
    {
        QString chosen = "stale";
        auto answerer = std::make_unique<ModalAnswerer>([&](QWidget *modal) {
            auto *w = qobject_cast<TDlg_Tree_Obj_Select *>(modal);
            if (!w)
                return ModalAnswerer::accept(modal);
            QCoreApplication::processEvents();
            QCOMPARE(w->Label_ObjName->text(), QStringLiteral("Агрегат: Насос главный"));
            QTest::mouseClick(w->CB_YesBase_Obj, Qt::LeftButton, Qt::NoModifier, QPoint(8, w->CB_YesBase_Obj->height() / 2));
            QVERIFY(w->CB_YesRef_Obj->isChecked()); // switched to reference objects
            w->CB_YesParent_From_Tree->setChecked(true);
            w->SpeedButton1->click(); // reference descendants of 1002
            QCOMPARE(foundIds(w), QStringList{"1005"});
            w->DBGrid_Obj->setCurrentIndex(w->DataSource1->index(0, 1)); // by keyboard: nothing copied
            QCOMPARE(w->Edit_ID_THIS->text(), QStringLiteral("1002"));
            const QRect cell = w->DBGrid_Obj->visualRect(w->DataSource1->index(0, 1));
            QTest::mouseClick(w->DBGrid_Obj->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
            QCOMPARE(w->Edit_ID_THIS->text(), QStringLiteral("1005"));
            QCoreApplication::processEvents();
            QCOMPARE(w->Label_ObjName->text(), QStringLiteral("Ремонт: O'Brien"));
            w->OKBtn->click();
        });
        SelectObject(&conn_, " 1002 ", chosen);
        QCOMPARE(chosen, QStringLiteral("1005"));
        answerer.reset();

        ModalAnswerer typed([](QWidget *modal) {
            auto *w = qobject_cast<TDlg_Tree_Obj_Select *>(modal);
            w->Edit_ID_THIS->setText("9999");
            w->OKBtn->click();
        });
        SelectObject(&conn_, QString(), chosen);
        QVERIFY(chosen.isEmpty()); // no such object
    }

    // A double click on a found row, or Enter on the row reached with the
    // keyboard, chooses it as a click on it and OK would.
    void doubleClickOrEnterChooses()
    {
        for (bool enter : {false, true}) {
            QString chosen;
            ModalAnswerer answerer([&](QWidget *modal) {
                auto *w = qobject_cast<TDlg_Tree_Obj_Select *>(modal);
                w->SpeedButton1->click();
                ChooseRow(w->DBGrid_Obj, enter ? 3 : 2, enter);
                if (w->isVisible())
                    w->CancelBtn->click();
            });
            SelectObject(&conn_, QString(), chosen);
            QCOMPARE(chosen, QString(enter ? "1006" : "1004"));
        }
    }

    // Enter in the name line searches instead of pressing OK. After a search
    // the grid shows chosen only the row Edit_ID_THIS names (what OK
    // returns): none while it is empty, the typed one, the clicked one; the
    // keys move the current row without choosing it.
    void enterSearchesAndChosenRowIsReturned()
    {
        QString chosen;
        ModalAnswerer answerer([&](QWidget *modal) {
            auto *w = qobject_cast<TDlg_Tree_Obj_Select *>(modal);
            if (!w)
                return ModalAnswerer::accept(modal);
            QItemSelectionModel *selection = w->DBGrid_Obj->selectionModel();
            auto chosenRows = [&] {
                QList<int> rows;
                for (const QModelIndex &i : selection->selectedRows())
                    rows << i.row();
                return rows;
            };
            w->CB_Yes_NameObj->setChecked(true);
            w->Edit_Substr->setFocus();
            w->Edit_Substr->setText(QStringLiteral("НАСОС"));
            QTest::keyClick(w->Edit_Substr, Qt::Key_Return);
            QVERIFY(w->isVisible());
            QCOMPARE(foundIds(w), (QStringList{"1002", "1004", "1006"}));
            QCOMPARE(chosenRows(), QList<int>());
            w->DBGrid_Obj->setFocus();
            QTest::keyClick(w->DBGrid_Obj, Qt::Key_Down);
            QCOMPARE(w->DBGrid_Obj->currentIndex().row(), 1);
            QCOMPARE(chosenRows(), QList<int>());
            w->Edit_ID_THIS->setText(" 1004 ");
            QCOMPARE(chosenRows(), QList<int>{1});
            QTest::sendKeyEvent(QTest::Click, w->Edit_Substr, Qt::Key_Enter, QString(),
                                Qt::KeypadModifier); // the keypad's Enter searches too
            QCOMPARE(chosenRows(), QList<int>{1});
            const QRect cell = w->DBGrid_Obj->visualRect(w->DataSource1->index(2, 1));
            QTest::mouseClick(w->DBGrid_Obj->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
            QCOMPARE(w->Edit_ID_THIS->text(), QStringLiteral("1006"));
            QCOMPARE(chosenRows(), QList<int>{2});
            w->OKBtn->click();
        });
        SelectObject(&conn_, QString(), chosen);
        QCOMPARE(chosen, QStringLiteral("1006"));
    }

    void faultyRowsDrawnRedOnYellow()
    {
        TDlg_Tree_Obj_Select w;
        w.bind(&conn_, QString());
        w.SpeedButton1->click();
        const QStringList ids = foundIds(&w);
        for (const QString &id : {QStringLiteral("1007"), QStringLiteral("1008")}) {
            DbGridCell cell;
            cell.row = int(ids.indexOf(id));
            cell.font = w.DBGrid_Obj->font();
            cell.drawDefault = [] {};
            w.DBGrid_ObjDrawDataCell(cell);
            QCOMPARE(cell.textColor.value_or(QColor()), QColor(255, 0, 0));
            QCOMPARE(cell.background->color(), QColor(255, 255, 0));
            QVERIFY(cell.font.bold());
        }
        QCOMPARE(w.Query_Obj->text(w.Query_Obj->fieldByName("TYPE_NAME")->index(), int(ids.indexOf("1007"))), QString());
    }

    // From the filter page: "..." opens the picker on the typed parent, a
    // search and a click choose an object, and the query finds its children.
    // After a failed start there is no store: typing a parent asks nothing.
    void typingWithoutAStore()
    {
        DbConnection closed;
        FilterPage page;
        page.setConnection(&closed);
        ModalAnswerer answerer;
        page.Edit_ID_Parent->setText("1001");
        page.Edit_ID_Parent->setText("10012");
        QTest::qWait(50);
        QCOMPARE(answerer.seen, QStringList());
        QCOMPARE(page.Label_Parent_Name->text(), QStringLiteral("???"));
    }

    void parentStripOfTheFilterPage()
    {
        FilterPage page;
        page.setConnection(&conn_);
        page.Edit_ID_Parent->setText("1001");
        QCoreApplication::processEvents();
        QCOMPARE(page.Label_Parent_Name->text(), QStringLiteral("Агрегат: Завод"));
        QString opened;
        {
            ModalAnswerer answerer([&](QWidget *modal) {
                auto *w = qobject_cast<TDlg_Tree_Obj_Select *>(modal);
                opened = w->Edit_ID_THIS->text();
                w->CB_Yes_NameObj->setChecked(true);
                w->Edit_Substr->setText("главный");
                w->SpeedButton1->click();
                const QRect cell = w->DBGrid_Obj->visualRect(w->DataSource1->index(0, 1));
                QTest::mouseClick(w->DBGrid_Obj->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
                w->OKBtn->click();
            });
            page.SpeedButton1->click();
        }
        QCOMPARE(opened, QStringLiteral("1001"));
        QCOMPARE(page.Edit_ID_Parent->text(), QStringLiteral("1002"));
        QCoreApplication::processEvents();
        QCOMPARE(page.Label_Parent_Name->text(), QStringLiteral("Агрегат: Насос главный"));
        {
            ModalAnswerer cancel([](QWidget *modal) { ModalAnswerer::reject(modal); });
            page.SpeedButton1->click(); // a cancelled picker leaves the line alone
        }
        QCOMPARE(page.Edit_ID_Parent->text(), QStringLiteral("1002"));

        QStringList found;
        page.setRunHandler([&](const QString &condition) {
            DbDataSet ds;
            ds.setConnection(&conn_);
            for (const FieldDef &f : ResultFieldDefs())
                ds.addField(f);
            ds.sql() = ResultQueryLines(condition, "t_o.ID_THIS");
            ds.open();
            for (ds.first(); !ds.eof(); ds.next())
                found << ds.fieldByName("ID_THIS")->asString();
        });
        page.CB_YesParent->setChecked(true);
        page.SpeedButton2->click();
        page.SpeedButton3->click();
        QCOMPARE(found, (QStringList{"1004", "1005"}));
    }

    // A splitter after the top strip and one after the filter: moving the
    // first leaves the filter as high as it was.
    void twoSplitters()
    {
        TDlg_Tree_Obj_Select w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *top = w.findChild<QSplitter *>("Splitter_Top");
        auto *main = w.findChild<QSplitter *>("Splitter_Main");
        QVERIFY(top->widget(0)->isAncestorOf(w.Edit_ID_THIS) && top->widget(1) == main);
        QVERIFY(main->widget(0)->isAncestorOf(w.CB_Yes_TypeObj) && main->widget(1)->isAncestorOf(w.DBGrid_Obj));
        const QList<int> before = main->sizes();
        top->setSizes({top->sizes()[0] + 40, top->sizes()[1] - 40});
        QCOMPARE(main->sizes(), (QList<int>{before[0], before[1] - 40}));
    }
};

QTEST_MAIN(TestObjectPicker)
#include "test_object_picker.moc"
