#include "common/modal_answerer.h"
#include "common/test_store.h"
#include "db/dataset_model.h"
#include "db/db_connection.h"
#include "db/db_error.h"
#include "pickers/enum_value_picker.h"
#include "pickers/number_prop_picker.h"
#include "pickers/object_picker.h"
#include "pickers/type_picker.h"
#include "query/filter_page.h"
#include "widgets/string_grid.h"
#include "widgets/db_grid.h"

#include <QAction>
#include <QButtonGroup>
#include <QLineEdit>
#include <QRadioButton>
#include <QCheckBox>
#include <QInputDialog>
#include "widgets/wait_window.h"

#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

namespace {

void level(StoreWriter &w, const QString &table, int numpp, const QString &id, const QString &group,
           const QString &name, const QString &extraColumns = QString(), const QString &extraValues = QString())
{
    w.exec(QStringLiteral("INSERT INTO %1 (NUMPP, NAME_MAX, NAME_MIN, ID_THIS, ID_GRP%2) VALUES (%3, '%4', '%4', '%5', "
                          "'%6'%7)")
               .arg(table, extraColumns)
               .arg(numpp)
               .arg(QString(name).replace("'", "''"), QString(id).replace("'", "''"), QString(group).replace("'", "''"),
                    extraValues));
}

void fillCatalogs(StoreWriter &w)
{
    // Object types: the second section has no macro-groups; a group's
    // identifier holds a quote; the entries come back in NUMPP order.
    level(w, "L_TYPEOBJ_TOP", 1, "1-T1", "0", "Техника");
    level(w, "L_TYPEOBJ_TOP", 2, "1-T2", "0", "Пусто");
    level(w, "L_TYPEOBJ_MACRO", 1, "1-M1", "1-T1", "Насосы");
    level(w, "L_TYPEOBJ_MACRO", 2, "1-M2", "1-T1", "Двигатели");
    level(w, "L_TYPEOBJ_GRP", 1, "1-G1", "1-M1", "Центробежные");
    level(w, "L_TYPEOBJ_GRP", 2, "1-G'2", "1-M1", "Поршневые");
    level(w, "L_TYPEOBJ_GRP", 1, "1-G3", "1-M2", "Без типов");
    const QString cols = ", ITS_ABSTRACT, ID_KIND";
    level(w, "L_TYPEOBJ_LIST", 2, "15", "1-G1", "Осмотр", cols, ", 0, 2");
    level(w, "L_TYPEOBJ_LIST", 1, "12", "1-G1", "Насос", cols, ", 0, 1");
    level(w, "L_TYPEOBJ_LIST", 3, "16", "1-G1", "Работа вообще", cols, ", 1, 2");
    level(w, "L_TYPEOBJ_LIST", 4, "17", "1-G1", "Агрегат вообще", cols, ", 1, 1");
    level(w, "L_TYPEOBJ_LIST", 5, "18", "1-G1", "Непонятный вид", cols, ", 0, 3");
    level(w, "L_TYPEOBJ_LIST", 1, "21", "1-G'2", "Насос поршневой", cols, ", 0, 1");
    // Numeric properties with units from the enumerated catalog.
    level(w, "L_PROPNUMBER_TOP", 1, "2-T1", "0", "Технические");
    level(w, "L_PROPNUMBER_MACRO", 1, "2-M1", "2-T1", "Гидравлика");
    level(w, "L_PROPNUMBER_GRP", 1, "2-G1", "2-M1", "Давления");
    const QString pcols = ", ID_UNITMEASURE, PRECIS";
    level(w, "L_PROPNUMBER_LIST", 1, "27", "2-G1", "Давление на выходе", pcols, ", '3-U1', 2");
    level(w, "L_PROPNUMBER_LIST", 2, "28", "2-G1", "Безразмерный", pcols, ", NULL, 0");
    level(w, "L_PROPENUM_TOP", 1, "3-T1", "0", "Справочники");
    level(w, "L_PROPENUM_MACRO", 1, "3-M1", "3-T1", "Общие");
    level(w, "L_PROPENUM_GRP", 1, "3-G1", "3-M1", "Измерения");
    level(w, "L_PROPENUM_LIST", 1, "3-L1", "3-G1", "Единицы измерения");
    level(w, "L_PROPENUM_LIST", 2, "3-L2", "3-G1", "Без значений");
    level(w, "L_PROPENUM_VAL", 1, "3-U1", "3-L1", "МПа");
    level(w, "L_PROPENUM_VAL", 2, "3-U2", "3-L1", "кВт");
    AddObject(w, "1001", "Завод", "12");
}

template <class Window>
std::function<void(QWidget *)> inPicker(std::function<void(Window *)> steps, bool ok = true)
{
    return [steps, ok](QWidget *modal) {
        auto *w = qobject_cast<Window *>(modal);
        if (!w) {
            ModalAnswerer::accept(modal);
            return;
        }
        steps(w);
        (ok ? w->OKBtn : w->CancelBtn)->click();
    };
}

// Makes a row current as a click on it would (the rows the grid shows).
void moveTo(DbGrid *grid, int row)
{
    DataSetModel *model = grid->dataModel();
    while (row >= model->rowCount() && model->canFetchMore(QModelIndex()))
        model->fetchMore(QModelIndex());
    grid->setCurrentIndex(model->index(row, 1));
}

QStringList childLines(const QString &table, const QStringList &last, const QString &id)
{
    return QStringList{"SELECT ", "    NUMPP, ", "    NAME_MAX, ", "    NAME_MIN, ", "    NOTE, ", "    ID_THIS, ",
                       "    MNEMO_CODE, "}
           + last + QStringList{"FROM ", "    " + table + " ", "WHERE ", "    ID_GRP='" + id + "'", "ORDER BY ", "    NUMPP "};
}

} // namespace

class TestPickers : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    DbConnection conn_;

    // Runs the type (0), numeric property (1) or enumerated value picker.
    QString runPicker(int picker)
    {
        QString result = "stale";
        if (picker == 0)
            SelectObjectType(&conn_, QString(), result);
        else if (picker == 1)
            SelectNumberProp(&conn_, QString(), result);
        else
            SelectEnumValue(&conn_, QString(), result);
        return result;
    }

private slots:
    void initTestCase()
    {
        conn_.setDatabaseName(MakeTestStore(dir_.path(), "pickers.fdb", fillCatalogs));
        conn_.setUserName("VeldaRunKX");
        conn_.open();
    }

    void typePickerCascade()
    {
        QString typeId;
        ModalAnswerer answerer(inPicker<TDlg_TypeObj_Select>([](TDlg_TypeObj_Select *w) {
            QCOMPARE(w->pFIBDataSet_Top->sql(),
                     (QStringList{"SELECT", "    NUMPP,", "    NAME_MAX,", "    NAME_MIN,", "    NOTE,", "    ID_THIS,",
                                  "    MNEMO_CODE,", "    ID_GRP", "FROM", "    L_TYPEOBJ_TOP "}));
            QCOMPARE(w->pFIBDataSet_Macro->sql(), childLines("L_TYPEOBJ_MACRO", {"    ID_GRP "}, "1-T1"));
            QCOMPARE(w->pFIBDataSet_List->sql(),
                     childLines("L_TYPEOBJ_LIST", {"    ID_GRP, ", "    ITS_ABSTRACT, ", "    ID_KIND "}, "1-G1"));
            for (DbDataSet *l : {w->pFIBDataSet_Top, w->pFIBDataSet_Macro, w->pFIBDataSet_Grp, w->pFIBDataSet_List})
                QCOMPARE(l->currentRow(), 0);
            QCOMPARE(w->pFIBDataSet_List->fieldByName("ID_THIS")->asString(), QStringLiteral("12")); // NUMPP order
            QCOMPARE(w->pFIBDataSet_List->fieldByName("Kind_Name")->asString(), QStringLiteral("Объект"));

            QSignalSpy macro(w->pFIBDataSet_Macro, &DbDataSet::afterOpen);
            QSignalSpy grp(w->pFIBDataSet_Grp, &DbDataSet::afterOpen);
            QSignalSpy list(w->pFIBDataSet_List, &DbDataSet::afterOpen);
            moveTo(w->DBGrid3, 1); // the group whose identifier holds a quote
            QCOMPARE(w->pFIBDataSet_List->fieldByName("ID_THIS")->asString(), QStringLiteral("21"));
            QCOMPARE((QList<qsizetype>{macro.count(), grp.count(), list.count()}), (QList<qsizetype>{0, 0, 1}));
            moveTo(w->DBGrid1, 1); // a section without macro-groups
            QVERIFY(w->pFIBDataSet_Macro->isOpen() && w->pFIBDataSet_Macro->isEmpty());
            QVERIFY(!w->pFIBDataSet_Grp->isOpen() && !w->pFIBDataSet_List->isOpen());
            moveTo(w->DBGrid1, 0); // back: three levels again, each on its first row
            QCOMPARE((QList<qsizetype>{macro.count(), grp.count(), list.count()}), (QList<qsizetype>{2, 1, 2}));
            moveTo(w->DBGrid4, 1);
            moveTo(w->DBGrid1, 0);
            w->DBGrid1->setFocus(); // the upper grid clicked last: OK still takes the entry
        }));
        SelectObjectType(&conn_, "15", typeId);
        QCOMPARE(typeId, QStringLiteral("15"));
    }

    void okTakesTheLowestLevel_data()
    {
        QTest::addColumn<int>("picker");
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("property");
        QTest::addColumn<QString>("id");
        QTest::newRow("no entries: empty") << 0 << 1 << 0 << "";
        QTest::newRow("number property") << 1 << 0 << 1 << "28";
        QTest::newRow("enumerated value") << 2 << 0 << 0 << "3-U1";
        QTest::newRow("property without values") << 2 << 0 << 1 << "";
    }
    void okTakesTheLowestLevel()
    {
        QFETCH(int, picker);
        QFETCH(int, section);
        QFETCH(int, property);
        QFETCH(QString, id);
        ModalAnswerer answerer(inPicker<CatalogPicker>([&](CatalogPicker *w) {
            moveTo(w->DBGrid1, section);
            if (w->pFIBDataSet_List->isOpen())
                moveTo(w->DBGrid4, property);
            w->DBGrid4->setFocus(); // the focus in the property grid
            if (picker == 1) {
                QCOMPARE(w->pFIBDataSet_List->sql().value(4),
                         QStringLiteral("    (SELECT NAME_MIN FROM L_PROPENUM_VAL WHERE ID_THIS=lpl.ID_UNITMEASURE) UM_NAME, "));
                QCOMPARE(w->pFIBDataSet_List->text(w->pFIBDataSet_List->fieldByName("UM_NAME")->index(), 0),
                         QStringLiteral("МПа"));
                QCOMPARE(w->pFIBDataSet_List->fieldByName("UM_NAME")->asString(), QString()); // no unit
            }
        }));
        QCOMPARE(runPicker(picker), id);
    }

    void entryLooks_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("type of objects") << 0 << QColor(0, 0, 0) << false << true;
        QTest::newRow("type of processes") << 1 << QColor(128, 0, 0) << false << true;
        QTest::newRow("abstract process") << 2 << QColor(128, 128, 128) << true << true;
        QTest::newRow("abstract object") << 3 << QColor(128, 128, 128) << false << true;
        QTest::newRow("other kind: left as drawn") << 4 << QColor() << false << false;
    }
    void entryLooks()
    {
        QFETCH(int, row);
        QFETCH(QColor, color);
        QFETCH(bool, italic);
        QFETCH(bool, drawn);
        ModalAnswerer answerer(inPicker<TDlg_TypeObj_Select>([&](TDlg_TypeObj_Select *w) {
            w->DBGrid4->dataModel()->fetchMore(QModelIndex());
            DbGridCell cell;
            cell.row = row;
            cell.font = w->DBGrid4->font();
            bool called = false;
            cell.drawDefault = [&] { called = true; };
            w->DBGrid4DrawDataCell(cell);
            QCOMPARE(called, drawn);
            QCOMPARE(cell.textColor.value_or(QColor()), color);
            QCOMPARE(cell.font.italic(), italic);
            cell.selected = cell.focused = true; // the focused current cell keeps the grid's look
            called = false;
            w->DBGrid4DrawDataCell(cell);
            QVERIFY(!called);
        }, false));
        QString ignored;
        SelectObjectType(&conn_, QString(), ignored);
    }

    void missingSectionTableEndsTheEntryPoint()
    {
        DbConnection bare;
        bare.setDatabaseName(MakeTestStore(dir_.path(), "bare.fdb", [](StoreWriter &w) {
            w.exec("DROP TABLE L_TYPEOBJ_TOP");
        }));
        bare.setUserName("VeldaRunKX");
        bare.open();
        QString typeId = "stale";
        QVERIFY_THROWS_EXCEPTION(DbError, SelectObjectType(&bare, QString(), typeId));
        QVERIFY(typeId.isEmpty());
        QString none;
        SelectObjectType(nullptr, QString(), none); // no connection: nothing shown
        QVERIFY(none.isEmpty());
    }

    // An error below the sections while the picker opens ends the entry
    // point as one in the sections does: no window, nothing reported here.
    void missingLowerTableEndsTheEntryPoint()
    {
        DbConnection broken;
        broken.setDatabaseName(MakeTestStore(dir_.path(), "nogrp.fdb", [](StoreWriter &w) {
            level(w, "L_TYPEOBJ_TOP", 1, "1-T1", "0", "Техника");
            level(w, "L_TYPEOBJ_MACRO", 1, "1-M1", "1-T1", "Насосы");
            w.exec("DROP TABLE L_TYPEOBJ_GRP");
        }));
        broken.setUserName("VeldaRunKX");
        broken.open();
        ModalAnswerer answerer;
        QString typeId = "stale";
        QVERIFY_THROWS_EXCEPTION(DbError, SelectObjectType(&broken, QString(), typeId));
        QVERIFY(typeId.isEmpty());
        QCOMPARE(answerer.seen, QStringList());
    }

    // A double click or Enter on a row of the lowest grid chooses it as OK
    // does; a row of another grid is not chosen so.
    void doubleClickOrEnterChooses_data()
    {
        QTest::addColumn<int>("picker");
        QTest::addColumn<bool>("enter");
        QTest::addColumn<QString>("id");
        QTest::newRow("type, double click") << 0 << false << "15";
        QTest::newRow("number property, Enter") << 1 << true << "28";
        QTest::newRow("enumerated value, double click") << 2 << false << "3-U2";
        QTest::newRow("enumerated property: stays open") << 3 << false << "";
    }
    void doubleClickOrEnterChooses()
    {
        QFETCH(int, picker);
        QFETCH(bool, enter);
        QFETCH(QString, id);
        ModalAnswerer answerer([&](QWidget *modal) {
            auto *w = qobject_cast<CatalogPicker *>(modal);
            ChooseRow(picker == 2 ? w->DBGrid5 : w->DBGrid4, picker == 3 ? 0 : 1, enter);
            if (w->isVisible())
                w->CancelBtn->click();
        });
        QCOMPARE(runPicker(picker), id);
    }

    // Through the filter page as a user would: the type list's menu and the
    // property column, each with its picker.
    void filterPageWithPickers()
    {
        FilterPage page;
        page.setConnection(&conn_);
        page.ResetPropNumberGrid();
        auto addType = [&](int row, bool ok) {
            ModalAnswerer answerer(inPicker<TDlg_TypeObj_Select>([row](TDlg_TypeObj_Select *w) { moveTo(w->DBGrid4, row); }, ok));
            page.PopupMenu_ObjTypes->findChild<QAction *>("MenuItem2")->trigger();
        };
        addType(0, true);  // 12
        addType(1, true);  // 15
        page.List_ObjTypes_Name->item(1)->setCheckState(Qt::Unchecked);
        addType(1, true);  // 15 again: selected, not added, tick kept
        addType(2, false); // cancelled
        QCOMPARE(page.List_ObjTypes_ID->count(), 2);
        QCOMPARE(page.List_ObjTypes_Name->item(1)->text(), QStringLiteral("Осмотр"));
        QCOMPARE(page.List_ObjTypes_Name->item(1)->checkState(), Qt::Unchecked);
        QCOMPARE(page.List_ObjTypes_Name->currentRow(), 1);
        page.List_ObjTypes_Name->item(1)->setCheckState(Qt::Checked);

        page.SG_PropNumber->setCurrentCell(1, 1);
        {
            ModalAnswerer answerer(inPicker<TDlg_LibProp_Number_Select>([](TDlg_LibProp_Number_Select *) {}));
            emit page.SG_PropNumber->cellDoubleClicked(1, 1);
        }
        QCOMPARE(page.SG_PropNumber->cell(1, 1), QStringLiteral("Давление на выходе [МПа]"));
        for (auto [col, text] : {std::pair{2, QStringLiteral("20,5")}, {3, QStringLiteral("10")}}) {
            page.SG_PropNumber->setCurrentCell(col, 1);
            ModalAnswerer answerer([text](QWidget *modal) {
                auto *input = qobject_cast<QInputDialog *>(modal);
                input->setTextValue(text);
                input->accept();
            });
            emit page.SG_PropNumber->cellDoubleClicked(col, 1);
        }
        page.CB_YesPropNumber->setChecked(true);
        {
            ModalAnswerer answerer(inPicker<TDlg_Tree_Obj_Select>([](TDlg_Tree_Obj_Select *w) {
                w->Edit_ID_THIS->setText("1001");
            }));
            page.SpeedButton1->click();
        }
        // The rest of the criteria of the worked example, from the controls.
        page.CB_YesAncestor->click();
        page.RG_Ref->buttons()->button(1)->click();
        page.CB_Date1->setChecked(true);
        page.Edit_Date1->setText("01.01.2005");
        page.CB_Date2->setChecked(true);
        page.Edit_Date2->setText("31.12.2005");
        page.CB_YesFind_Name->setChecked(true);
        page.Edit_Name_Str->setText("насос");
        page.CB_YesFind_Info->setChecked(true);
        page.Memo_Find_Info->setPlainText("давление\nтемпература");
        page.RG_Abstr->buttons()->button(1)->click();
        page.SpeedButton2Click();
        QCOMPARE(page.Memo_SQL->toPlainText(),
                 QStringLiteral(
                     "(t_o.PARENTS_ID CONTAINING '[1001]')\nand\n(\nt_o.ID_TYPE IN ('12','15')\n)\nand\n(\n"
                     "t_o.ITS_BASE>0\n)\nand\n(\nt_o.DATE_1>='01.01.2005'\nand\nt_o.DATE_1<='31.12.2005'\n)\nand\n(\n"
                     "UPPER(t_o.NAME_MAX) CONTAINING UPPER('насос')\n)\nand\n(\nt_o.INFO CONTAINING 'давление'\nor\n"
                     "t_o.INFO CONTAINING 'температура'\n)\nand\n(\nltl.ITS_ABSTRACT<=0\n)\nAND \n"
                     "(t_o.ID_THIS IN (SELECT ID_OWNER FROM OBJECTS_PROP_NUMBER WHERE\n"
                     " (ID_PROP='27'  and (PROP_VAL between 10 and 20.5)) \n))"));
    }

    // A type whose name lookup is cancelled is added to neither list: the
    // two stay item for item.
    void typeAddedToBothListsOrNeither()
    {
        FilterPage page;
        page.setConnection(&conn_);
        bool cancelled = false;
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *w = qobject_cast<TDlg_TypeObj_Select *>(modal)) {
                moveTo(w->DBGrid4, 0);
                // The store's thread busy: the lookup after OK waits.
                conn_.storePoster()([] { std::this_thread::sleep_for(std::chrono::milliseconds(1500)); });
                w->OKBtn->click();
            } else if (auto *wait = qobject_cast<StoreWaitDialog *>(modal)) {
                cancelled = true;
                wait->cancelButton->click();
            } else {
                ModalAnswerer::accept(modal);
            }
        });
        page.PopupMenu_ObjTypes->findChild<QAction *>("MenuItem2")->trigger();
        QVERIFY(cancelled);
        QCOMPARE(answerer.seen.filter(QStringLiteral("Запрос отменён")).size(), 1);
        QCOMPARE(page.List_ObjTypes_ID->count(), 0);
        QCOMPARE(page.List_ObjTypes_Name->count(), 0);
    }

    // A type picker that cannot read its sections: the page shows the error
    // and goes on, with nothing added.
    void filterPageReportsAPickerError()
    {
        DbConnection bare;
        bare.setDatabaseName(dir_.filePath("bare.fdb"));
        bare.setUserName("VeldaRunKX");
        bare.open();
        FilterPage page;
        page.setConnection(&bare);
        ModalAnswerer answerer;
        page.PopupMenu_ObjTypes->findChild<QAction *>("MenuItem2")->trigger();
        QCOMPARE(answerer.seen.size(), 1);
        QVERIFY2(answerer.seen[0].contains("L_TYPEOBJ_TOP"), qPrintable(answerer.seen[0]));
        QCOMPARE(page.List_ObjTypes_Name->count(), 0);
    }
};

QTEST_MAIN(TestPickers)
#include "test_pickers.moc"
