#include "common/modal_answerer.h"
#include "common/test_store.h"
#include "db/dataset_model.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/db_error.h"
#include "results/result_query.h"
#include "results/result_window.h"
#include "widgets/db_grid.h"
#include "widgets/db_navigator.h"
#include <QToolButton>
#include "widgets/row_look.h"
#include "results/text_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

const QString kInfo = QStringLiteral("Первая строка\nВторая строка\n\nЧетвёртая, после пустой");

void fill(StoreWriter &w)
{
    AddType(w, "1", "Объект обычный", "Объект", "OBJ", 1, 0);
    AddType(w, "2", "Процесс обычный", "Процесс", "PROC", 2, 0);
    AddType(w, "3", "Объект абстрактный", "Абстр", "ABS", 1, 1);
    AddType(w, "4", "Вид неизвестен", "Вид?", "ODD", 7, 0);
    AddObject(w, "01", "Базовый объект", "1", "", "", "", kInfo, 1);
    AddObject(w, "02", "Базовый процесс", "2", "01", "[01]", "", "", 1);
    AddObject(w, "03", "Ссылочный объект", "1", "01", "[01]", "", "", 0);
    AddObject(w, "04", "Ссылочный процесс", "2", "", "", "", "", -2);
    AddObject(w, "05", "Абстрактный базовый", "3", "", "", "", "", 1);
    AddObject(w, "06", "Абстрактный ссылочный", "3", "", "", "", "", 0);
    AddObject(w, "07", "Чужой вид", "4", "", "", "", "", 1);
    AddObject(w, "08", "Тип удалён", "999", "", "", "", "", 1);
    AddObject(w, "09", "   ", "1", "", "", "", "", 1);
    for (int i = 0; i < 600; ++i)
        AddObject(w, QStringLiteral("5-%1").arg(i, 3, 10, QChar('0')), QStringLiteral("Серийный %1").arg(i), "1");
}

// Works the result window from inside its modal loop.
std::function<void(QWidget *)> inWindow(std::function<void(TDlg_ViewQuery_Objects *)> steps)
{
    return ModalAnswerer::inWindow<TDlg_ViewQuery_Objects>(std::move(steps));
}

int rowOf(TDlg_ViewQuery_Objects *w, const QString &id)
{
    DbDataSet *q = w->Query1;
    while (q->isOpen() && !q->isAllFetched()) // what the grid shows as it scrolls
        q->fetchRows(256);
    const int idField = q->fieldByName("ID_THIS")->index();
    for (int r = 0; r < q->fetchedCount(); ++r)
        if (q->text(idField, r) == id)
            return r;
    return -1;
}

} // namespace

class TestResultWindow : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    DbConnection conn_;

private slots:
    void initTestCase()
    {
        conn_.setDatabaseName(MakeTestStore(dir_.path(), "results.fdb", fill));
        conn_.setUserName("VeldaRunKX");
        conn_.open();
    }

    void statementLines_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QStringList>("tail");
        QTest::newRow("no condition") << QString() << QStringList{"order by ", "t_o.ID_THIS"};
        QTest::newRow("one line") << "(t_o.ID_PARENT='7')"
                                  << QStringList{"where ", "(t_o.ID_PARENT='7')", "order by ", "t_o.ID_THIS"};
        QTest::newRow("several lines") << "(\r\nt_o.ITS_BASE>0\r\n)"
                                       << QStringList{"where ", "(\r\nt_o.ITS_BASE>0\r\n)", "order by ", "t_o.ID_THIS"};
    }
    void statementLines()
    {
        QFETCH(QString, condition);
        QFETCH(QStringList, tail);
        const QStringList head = {
            "SELECT ", "t_o.NUMPP,", "ltl.NAME_MAX TYPE_NAME ,", "t_o.NAME_MAX,", "t_o.DATE_1,", "t_o.TIME_1,",
            "t_o.DATE_2,", "t_o.TIME_2,", "t_o.NOTE,", "t_o.NOTE,",
            "(select NAME_MAX from OBJECTS_TREE where ID_THIS=t_o.ID_PARENT) PARENT_NAME,t_o.ID_THIS,",
            "t_o.MNEMO_CODE,", "t_o.INFO,", "t_o.ID_THIS,", "t_o.ID_TYPE,", "t_o.ITS_BASE,", "t_o.ITS_GLOBAL,",
            "t_o.ID_REF_NEAR,", "t_o.ID_REF,", "t_o.ID_PARENT,", "ltl.ID_KIND,", "ltl.ITS_ABSTRACT,", "ltl.ID_GRP",
            "from OBJECTS_TREE t_o  left join L_TYPEOBJ_LIST ltl ", "on ", "t_o.ID_TYPE = ltl.ID_THIS"};
        QCOMPARE(ResultQueryLines(condition, "t_o.ID_THIS"), head + tail);
        QCOMPARE(ResultQueryLines(condition, QString()), head + tail.mid(0, tail.size() - 2));
    }

    void emptyConditionThenReopen()
    {
        QStringList sqlPage;
        int rowsBefore = -1, rowsAfter = -1;
        QString countBefore, countAfter, head;
        ModalAnswerer answerer(inWindow([&](TDlg_ViewQuery_Objects *w) {
            head = w->Label_Head->text();
            QCOMPARE((QStringList{w->SpeedButton1->toolTip(), w->SpeedButton2->toolTip(), w->SpeedButton3->toolTip()}),
                     (QStringList{"Переоткрыть", "Экспорт в Excel (OLE)", "Экспорт в HTML-формат"}));
            rowsBefore = w->DBGrid1->model()->rowCount();
            QVERIFY(w->RE_SQL->toPlainText().isEmpty());
            QCOMPARE(w->TN1->currentIndex(), 0);
            w->SpeedButton1->click();
            sqlPage = w->RE_SQL->toPlainText().split('\n');
            countBefore = w->lbl_CountRec->text();
            w->DBNavigator1->NavLast->click();
            rowsAfter = w->DBGrid1->model()->rowCount();
            countAfter = w->lbl_CountRec->text();
        }));
        QString result = "stale";
        ShowQueryResult("  Результат фильтрации ", &conn_, "  \r\n ", "", "", result);
        QCOMPARE(result, QString());
        QCOMPARE(head, QStringLiteral("Результат фильтрации"));
        QCOMPARE(rowsBefore, 0);
        QCOMPARE(sqlPage, ResultQueryLines(QString(), "t_o.ID_THIS"));
        QCOMPARE(countBefore, QStringLiteral("..."));
        QCOMPARE(rowsAfter, 609);
        QCOMPARE(countAfter, QStringLiteral("количество найденных = 609"));
    }

    void rowLooks_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QColor>("foreground");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        const QColor none;
        QTest::newRow("base object") << "01" << QColor(0, 0, 0) << none << false << false;
        QTest::newRow("base process") << "02" << QColor(128, 0, 0) << none << false << false;
        QTest::newRow("reference object") << "03" << QColor(0, 0, 255) << none << false << false;
        QTest::newRow("reference process (negative flag)") << "04" << QColor(0, 128, 0) << none << false << false;
        QTest::newRow("abstract base") << "05" << QColor(128, 128, 128) << none << false << false;
        QTest::newRow("abstract reference") << "06" << QColor(128, 128, 128) << none << false << true;
        QTest::newRow("other kind") << "07" << QColor(255, 0, 0) << QColor(255, 255, 0) << true << false;
        QTest::newRow("type row missing") << "08" << QColor(255, 0, 0) << QColor(255, 255, 0) << true << false;
    }
    void rowLooks()
    {
        QFETCH(QString, id);
        QFETCH(QColor, foreground);
        QFETCH(QColor, background);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        bool checked = false;
        ModalAnswerer answerer(inWindow([&](TDlg_ViewQuery_Objects *w) {
            const int row = rowOf(w, id);
            QVERIFY(row >= 0);
            for (int field : {1, 2, 5}) {
                DbGridCell cell;
                cell.row = row;
                cell.fieldIndex = field;
                cell.font = w->DBGrid1->font();
                bool drawn = false;
                cell.drawDefault = [&] { drawn = true; };
                w->DBGrid1DrawDataCell(cell);
                QVERIFY(drawn);
                QCOMPARE(cell.textColor.value_or(QColor()), foreground);
                QCOMPARE(cell.background ? cell.background->color() : QColor(), background);
                QCOMPARE(cell.font.bold(), bold);
                QCOMPARE(cell.font.italic(), italic);
                // The current cell of the focused grid keeps the grid's own look.
                DbGridCell current = cell;
                current.selected = current.focused = true;
                current.textColor.reset();
                current.font = w->DBGrid1->font();
                drawn = false;
                w->DBGrid1DrawDataCell(current);
                QVERIFY(!drawn);
                QVERIFY(!current.font.bold() && !current.font.italic() && !current.textColor);
            }
            checked = true;
        }));
        QString result;
        ShowQueryResult("t", &conn_, "t_o.ID_THIS < '1'", "", "", result);
        QVERIFY(checked);
    }

    void widthLimit()
    {
        QList<int> widths;
        ModalAnswerer answerer(inWindow([&](TDlg_ViewQuery_Objects *w) {
            DbDataSet *q = w->Query1;
            widths << q->fieldByName("NAME_MAX")->displayWidth() << q->fieldByName("PARENT_NAME")->displayWidth()
                   << q->fieldByName("TYPE_NAME")->displayWidth();
            w->CB_YesW->setChecked(false);
            w->SpeedButton1->click(); // never widened again
            widths << q->fieldByName("NAME_MAX")->displayWidth();
            w->CB_YesW->setChecked(true);
            w->SE_W->setValue(2); // 2 or less changes nothing
            w->SpeedButton1->click();
            widths << q->fieldByName("TYPE_NAME")->displayWidth();
            w->SE_W->setValue(8);
            w->SpeedButton1->click();
            widths << q->fieldByName("TYPE_NAME")->displayWidth() << q->fieldByName("ITS_BASE")->displayWidth()
                   << q->fieldByName("NUMPP")->displayWidth();
        }));
        QString result;
        ShowQueryResult("t", &conn_, "t_o.ID_THIS='01'", "", "", result);
        QCOMPARE(widths, (QList<int>{30, 30, 20, 30, 20, 8, 3, 3}));
    }

    void okTakesTheResultField()
    {
        auto choose = [](const QString &id) {
            return inWindow([id](TDlg_ViewQuery_Objects *w) {
                w->Query1->setCurrentRow(rowOf(w, id));
                w->OKBtn->click();
            });
        };
        QString result;
        {
            ModalAnswerer answerer(choose("03"));
            ShowQueryResult("t", &conn_, "t_o.ID_THIS < '1'", "", " ID_THIS ", result);
        }
        QCOMPARE(result, QStringLiteral("03"));
        {
            ModalAnswerer answerer(choose("09")); // a blank value gives nothing
            ShowQueryResult("t", &conn_, "t_o.ID_THIS < '1'", "", "NAME_MAX", result);
        }
        QCOMPARE(result, QString());
        {
            ModalAnswerer answerer(choose("03")); // without a field name OK gives nothing
            ShowQueryResult("t", &conn_, "t_o.ID_THIS < '1'", "", "", result);
        }
        QCOMPARE(result, QString());
        {
            ModalAnswerer answerer(inWindow([](TDlg_ViewQuery_Objects *) {})); // Cancel
            ShowQueryResult("t", &conn_, "t_o.ID_THIS < '1'", "", "ID_THIS", result);
        }
        QCOMPARE(result, QString());
        ShowQueryResult("t", nullptr, "x", "", "", result); // no window at all
    }

    void viewerShowsTheWholeText()
    {
        QString head, text;
        bool cancelHidden = false;
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *w = qobject_cast<TDlg_ViewQuery_Objects *>(modal)) {
                auto *model = static_cast<DataSetModel *>(w->DBGrid1->model());
                int infoColumn = -1;
                for (int c = 0; c < model->columnCount(); ++c)
                    if (model->headerData(c, Qt::Horizontal, Qt::DisplayRole) == QStringLiteral("Детально"))
                        infoColumn = c;
                QCOMPARE(model->data(model->index(0, infoColumn), Qt::DisplayRole).toString(), QStringLiteral("(MEMO)"));
                w->DBGrid1->scrollTo(model->index(0, infoColumn));
                const QPoint at = w->DBGrid1->visualRect(model->index(0, infoColumn)).center();
                QTest::mouseClick(w->DBGrid1->viewport(), Qt::LeftButton, Qt::NoModifier, at);
                QTest::mouseDClick(w->DBGrid1->viewport(), Qt::LeftButton, Qt::NoModifier, at);
                w->reject();
            } else if (auto *v = qobject_cast<TDlg_TextView *>(modal)) {
                head = v->Label_Head->text();
                text = v->RE_Info->toPlainText();
                cancelHidden = !v->CancelButton->isVisible();
                v->OKButton->click();
            }
        });
        QString result;
        ShowQueryResult("t", &conn_, "t_o.ID_THIS='01'", "", "", result);
        QCOMPARE(head, QStringLiteral("Детально"));
        QCOMPARE(text, kInfo);
        QVERIFY(cancelHidden);
    }

    // The count line fills by itself, the grid untouched: a result of 1
    // row, of 1 + 256 rows (the last fetch brings none), of several slices.
    void countLineAtTheEnd_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("count");
        QTest::newRow("1 row") << "t_o.ID_THIS='01'" << QStringLiteral("количество найденных = 1");
        QTest::newRow("1 + 256 rows") << "t_o.ID_THIS >= '5-' and t_o.ID_THIS < '5-257'"
                                      << QStringLiteral("количество найденных = 257");
    }
    void countLineAtTheEnd()
    {
        QFETCH(QString, condition);
        QFETCH(QString, count);
        QString shown;
        ModalAnswerer answerer(inWindow([&](TDlg_ViewQuery_Objects *w) {
            for (int i = 0; i < 1000 && w->lbl_CountRec->text() == QLatin1String("..."); ++i)
                QTest::qWait(5);
            shown = w->lbl_CountRec->text();
        }));
        QString result;
        ShowQueryResult("t", &conn_, condition, "", "", result);
        QCOMPARE(shown, count);
    }

    // An error that appears only when the grid fetches further rows (a
    // division by zero in row 300) is shown; the window goes on and closes.
    void errorWhileScrolling()
    {
        bool closed = false;
        QStringList seen;
        int rows = 0;
        bool complete = true;
        ModalAnswerer answerer(inWindow([&](TDlg_ViewQuery_Objects *w) {
            for (int i = 0; i < 500 && !w->Query1->fetchFailed(); ++i) {
                w->DBGrid1->scrollToBottom();
                QTest::qWait(5);
            }
            rows = w->Query1->fetchedCount();
            complete = w->Query1->isAllFetched(); // a broken result is never whole
            w->SpeedButton1->click(); // the window still works
            closed = true;
        }));
        QString result;
        ShowQueryResult("t", &conn_,
                        "t_o.ID_THIS >= '5-' and 1/(CAST(SUBSTRING(t_o.ID_THIS FROM 3 FOR 3) AS INTEGER) - 300) < 1",
                        "", "", result);
        seen = answerer.seen;
        QVERIFY(closed);
        QCOMPARE(rows, 300);
        QVERIFY(!complete);
        // Reported once, however often the grid asked for more.
        QCOMPARE(seen.filter(QStringLiteral("divide by zero"), Qt::CaseInsensitive).size(), 1);
    }

    void badConditionShowsTheStatement()
    {
        ModalAnswerer answerer;
        QString result = "stale";
        QVERIFY_THROWS_EXCEPTION(DbError, ShowQueryResult("t", &conn_, "no_such_column = 1", "", "", result));
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0],
                 "Error! " + ResultQueryLines("no_such_column = 1", "t_o.ID_THIS").join("\r\n"));
        QVERIFY(result.isEmpty());
        QCoreApplication::processEvents();
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<TDlg_ViewQuery_Objects *>(w));
    }

    void lookTable_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("abstract");
        QTest::addColumn<int>("base");
        QTest::addColumn<QColor>("foreground");
        QTest::addColumn<bool>("italic");
        QTest::newRow("kind 0 wins over flags") << 0 << 1 << 1 << QColor(255, 0, 0) << false;
        QTest::newRow("kind 3") << 3 << 0 << 0 << QColor(255, 0, 0) << false;
        QTest::newRow("abstract process reference") << 2 << 5 << -1 << QColor(128, 128, 128) << true;
        QTest::newRow("abstract zero is not abstract") << 2 << 0 << 1 << QColor(128, 0, 0) << false;
    }
    void lookTable()
    {
        QFETCH(int, kind);
        QFETCH(int, abstract);
        QFETCH(int, base);
        QFETCH(QColor, foreground);
        QFETCH(bool, italic);
        const RowLook look = ResultRowLook(kind, abstract, base);
        QCOMPARE(look.foreground, foreground);
        QCOMPARE(look.italic, italic);
    }
};

QTEST_MAIN(TestResultWindow)
#include "test_result_window.moc"
