// The result window beside its described behaviour: ordering by a column's
// title, copying cells, rows and the whole result, finding a row, the row
// hints and the legend of the row colours.

#include "common/modal_answerer.h"
#include "common/test_store.h"
#include "db/dataset_model.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/store_wait.h"
#include "demo_content.h"
#include "results/result_query.h"
#include "results/result_window.h"
#include "support/codec_1251.h"
#include "widgets/db_grid.h"
#include "widgets/grid_copy.h"
#include "widgets/grid_find.h"
#include "widgets/row_legend.h"
#include "widgets/row_look.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

namespace {

// Works the result window from inside its modal loop.
std::function<void(QWidget *)> inWindow(std::function<void(TDlg_ViewQuery_Objects *)> steps)
{
    return ModalAnswerer::inWindow<TDlg_ViewQuery_Objects>(std::move(steps));
}

void waitForCount(TDlg_ViewQuery_Objects *w)
{
    for (int i = 0; i < 2000 && w->lbl_CountRec->text() == QLatin1String("..."); ++i)
        QTest::qWait(5);
}

int columnOf(TDlg_ViewQuery_Objects *w, const QString &field)
{
    for (int c = 0; c < w->DataSource1->columnCount(); ++c)
        if (w->Query1->field(w->DataSource1->fieldIndex(c))->name() == field)
            return c;
    return -1;
}

void clickTitle(TDlg_ViewQuery_Objects *w, int column)
{
    w->DBGrid1->scrollTo(w->DataSource1->index(0, column));
    QHeaderView *h = w->DBGrid1->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2));
}

QStringList column(TDlg_ViewQuery_Objects *w, const QString &field)
{
    QStringList values;
    const int f = w->Query1->fieldByName(field)->index();
    for (int r = 0; r < w->Query1->fetchedCount(); ++r)
        values << w->Query1->text(f, r);
    return values;
}

// Whether the rows come in the field's order, rows of one value by their
// identifiers: texts as the store compares them (Windows-1251 codes, trailing
// blanks not counted), dates as dates, NULL first going up.
QString orderFault(TDlg_ViewQuery_Objects *w, const QString &field, bool descending)
{
    DbDataSet *q = w->Query1;
    const int f = q->fieldByName(field)->index();
    const int id = q->fieldByName("ID_THIS")->index();
    auto compare = [&](int a, int b) {
        const bool nullA = q->isNullAt(f, a), nullB = q->isNullAt(f, b);
        if (nullA || nullB)
            return nullA == nullB ? 0 : (nullA ? -1 : 1);
        if (q->field(f)->kind() == FieldKind::DateTime) {
            const QDateTime x = q->valueAt(f, a).toDateTime(), y = q->valueAt(f, b).toDateTime();
            return x < y ? -1 : (y < x ? 1 : 0);
        }
        auto bytes = [&](int r) {
            QByteArray text = Cp1251::encode(q->text(f, r));
            while (text.endsWith(' '))
                text.chop(1);
            return text;
        };
        const QByteArray x = bytes(a), y = bytes(b);
        return x < y ? -1 : (y < x ? 1 : 0);
    };
    for (int r = 1; r < q->fetchedCount(); ++r) {
        int c = compare(r - 1, r);
        if (descending)
            c = -c;
        if (c > 0 || (c == 0 && Cp1251::encode(q->text(id, r - 1)) > Cp1251::encode(q->text(id, r))))
            return QStringLiteral("row %1: %2 then %3").arg(r).arg(q->text(f, r - 1), q->text(f, r));
    }
    return QString();
}

QString clipboardText()
{
    return QGuiApplication::clipboard()->mimeData()->text();
}

QString clipboardHtml()
{
    return QGuiApplication::clipboard()->mimeData()->html();
}

QString shown(TDlg_ViewQuery_Objects *w, int row, int column)
{
    return w->DataSource1->data(w->DataSource1->index(row, column), Qt::DisplayRole).toString();
}

} // namespace

class TestResultExtras : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    DbConnection demo_;
    DbConnection serial_;

private slots:
    void initTestCase()
    {
        demo_.setDatabaseName(MakeTestStore(dir_.path(), "demo.fdb", [](StoreWriter &w) { FillDemoStore(w); }));
        demo_.setUserName("VeldaRunKX");
        demo_.open();
        serial_.setDatabaseName(MakeTestStore(dir_.path(), "serial.fdb", [](StoreWriter &w) {
            AddType(w, "1", "Объект обычный", "Объект", "OBJ", 1, 0);
            for (int i = 0; i < 900; ++i)
                AddObject(w, QStringLiteral("5-%1").arg(i, 3, 10, QChar('0')), QStringLiteral("Серийный %1").arg(i), "1",
                          "", "", i == 5 ? QStringLiteral("Примечание\tс табуляцией и \"кавычками\"") : QString(),
                          QString(), 1, QDate(2005, 1, 1).addDays(i));
        }));
        serial_.setUserName("VeldaRunKX");
        serial_.open();
    }

    // A click on a title orders the demo store's rows by that column, the
    // second the other way, "Переоткрыть" keeps it, the third gives back
    // the order handed in; the count line fills each time.
    void titleClickOrders_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("name") << "NAME_MAX";
        QTest::newRow("start date") << "DATE_1";
        QTest::newRow("parent (a sub-select)") << "PARENT_NAME";
        QTest::newRow("type (the joined catalog)") << "TYPE_NAME";
    }
    void titleClickOrders()
    {
        QFETCH(QString, field);
        ModalAnswerer answerer(inWindow([&](TDlg_ViewQuery_Objects *w) {
            waitForCount(w);
            const QString count = w->lbl_CountRec->text();
            QVERIFY(count.startsWith(QStringLiteral("количество найденных = ")));
            const QStringList handedIn = column(w, "ID_THIS");
            const int c = columnOf(w, field);
            QHeaderView *header = w->DBGrid1->horizontalHeader();
            for (bool descending : {false, true}) {
                clickTitle(w, c);
                QCOMPARE(w->lbl_CountRec->text(), QStringLiteral("...")); // counting again, in the background
                QVERIFY(w->Query1->fetchedCount() <= DataSetModel::kFetchBatch);
                waitForCount(w);
                QCOMPARE(w->lbl_CountRec->text(), count);
                QCOMPARE(orderFault(w, field, descending), QString());
                QCOMPARE(header->sortIndicatorSection(), c);
                QCOMPARE(header->sortIndicatorOrder(), descending ? Qt::DescendingOrder : Qt::AscendingOrder);
                QVERIFY(w->RE_SQL->toPlainText().endsWith(ResultSortOrder(field, descending)));
            }
            const QStringList descendingIds = column(w, "ID_THIS");
            w->SpeedButton1->click();
            waitForCount(w);
            QCOMPARE(column(w, "ID_THIS"), descendingIds);
            clickTitle(w, c);
            waitForCount(w);
            QCOMPARE(column(w, "ID_THIS"), handedIn);
            QCOMPARE(header->sortIndicatorSection(), -1);
            QVERIFY(w->RE_SQL->toPlainText().endsWith("order by \nt_o.ID_THIS"));
        }));
        QString result;
        ShowQueryResult("t", &demo_, "t_o.ID_THIS is not null", "", "", result);
        QCOMPARE(answerer.seen, QStringList{"Dlg_ViewQuery_Objects"});
    }

    // The detailed text has no order; a window that has not run keeps the
    // order for "Переоткрыть".
    void titleClickWithoutRun()
    {
        ModalAnswerer answerer(inWindow([&](TDlg_ViewQuery_Objects *w) {
            clickTitle(w, columnOf(w, "INFO"));
            QCOMPARE(w->sortField(), QString());
            clickTitle(w, columnOf(w, "NAME_MAX"));
            QVERIFY(!w->Query1->isOpen());
            w->SpeedButton1->click();
            QCOMPARE(w->Query1->sql().mid(w->Query1->sql().size() - 2),
                     (QStringList{"order by ", "t_o.NAME_MAX, t_o.ID_THIS"}));
        }));
        QString result;
        ShowQueryResult("t", &demo_, "", "", "", result);
    }

    // A range and whole rows read back from the clipboard as text and as an
    // HTML table, titles first; one cell is its text alone; "Копировать
    // всё" takes every row.
    void copies()
    {
        ModalAnswerer answerer(inWindow([&](TDlg_ViewQuery_Objects *w) {
            DbGrid *grid = w->DBGrid1;
            DataSetModel *m = w->DataSource1;
            const int name = columnOf(w, "NAME_MAX"), date = columnOf(w, "DATE_1"), note = columnOf(w, "NOTE");
            // A range: rows 4 to 6 of the columns from the name to the start date.
            grid->selectionModel()->select(QItemSelection(m->index(4, name), m->index(6, date)),
                                           QItemSelectionModel::ClearAndSelect);
            QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
            QStringList lines = clipboardText().split('\n');
            QCOMPARE(lines.size(), 5); // titles, three rows, the last line break
            QCOMPARE(lines[0], QStringLiteral("Наименование\tДата нач."));
            QCOMPARE(lines[2], shown(w, 5, name) + "\t" + shown(w, 5, date));
            QVERIFY(QRegularExpression("^\\d\\d\\.\\d\\d\\.\\d{4}$").match(lines[1].section('\t', 1)).hasMatch());
            QVERIFY(lines[4].isEmpty());
            const QString html = clipboardHtml();
            QVERIFY(html.contains("<tr><th>Наименование</th><th>Дата нач.</th></tr>"));
            QVERIFY(html.contains(">" + shown(w, 6, name).toHtmlEscaped() + "</td><td>" + shown(w, 6, date) + "</td></tr>"));

            // Whole rows by the indicator column: rows 3 to 5, every column.
            QHeaderView *rows = grid->verticalHeader();
            auto rowAt = [&](int r) { return QPoint(rows->width() / 2, rows->sectionViewportPosition(r) + 3); };
            QTest::mouseClick(rows->viewport(), Qt::LeftButton, Qt::NoModifier, rowAt(3));
            QTest::mouseClick(rows->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowAt(5));
            grid->copyAction()->trigger(); // the menu's "Копировать"
            lines = clipboardText().split('\n');
            QCOMPARE(lines.size(), 5);
            QCOMPARE(lines[0].split('\t').size(), m->columnCount());
            QCOMPARE(lines[0].split('\t').value(columnOf(w, "INFO")), QStringLiteral("Детально"));
            QStringList row4;
            for (int c = 0; c < m->columnCount(); ++c)
                row4 << shown(w, 4, c);
            QCOMPARE(lines[2], row4.join('\t'));
            QVERIFY(lines[2].contains("(MEMO)") || lines[2].contains("(memo)"));
            QCOMPARE(clipboardHtml().count("<tr>"), 4);

            // The value with a tab and quotes is quoted as spreadsheets read it.
            grid->selectionModel()->clearSelection();
            grid->setCurrentIndex(m->index(5, note));
            grid->selectionModel()->select(QItemSelection(m->index(5, note), m->index(6, note)),
                                           QItemSelectionModel::ClearAndSelect);
            grid->copySelection();
            QCOMPARE(clipboardText(), "Примечание\n\"Примечание\tс табуляцией и \"\"кавычками\"\"\"\n\n");

            // One cell: its text alone.
            grid->selectionModel()->clearSelection();
            grid->setCurrentIndex(m->index(7, name));
            QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(clipboardText(), QStringLiteral("Серийный 7"));

            // Cancel while "Копировать всё" waits for rows: nothing copied,
            // and the rows go on coming.
            w->SpeedButton1->click();
            QVERIFY(!w->Query1->isAllFetched());
            QTimer::singleShot(0, [] { CancelWaitingCall(); });
            QVERIFY(!grid->copyAll());
            QCOMPARE(clipboardText(), QStringLiteral("Серийный 7"));
            waitForCount(w);
            QCOMPARE(w->lbl_CountRec->text(), QStringLiteral("количество найденных = 900"));

            // Everything, also the rows the grid has not taken in yet.
            w->SpeedButton1->click();
            QVERIFY(!w->Query1->isAllFetched());
            QVERIFY(grid->copyAll());
            QCOMPARE(clipboardText().count('\n'), 901);
            QStringList last;
            for (int c = 0; c < m->columnCount(); ++c)
                last << shown(w, 899, c);
            QVERIFY(clipboardText().endsWith("\n" + last.join('\t') + "\n"));
            QVERIFY(last.contains(QStringLiteral("Серийный 899")));
        }));
        QString result;
        ShowQueryResult("t", &serial_, "t_o.ID_THIS starting with '5-'", "", "", result);
        QCOMPARE(answerer.seen, QStringList{"Dlg_ViewQuery_Objects"});
    }

    // Find reaches a row beyond the first screen that is still coming (the
    // window has not taken a row in since it opened), then one already
    // fetched, going round past the end; any letter case; "Не найдено".
    void finds()
    {
        ModalAnswerer answerer(inWindow([&](TDlg_ViewQuery_Objects *w) {
            w->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w));
            QVERIFY(!w->findBar->isVisible());
            QTest::keyClick(w->DBGrid1, Qt::Key_F, Qt::ControlModifier);
            QVERIFY(w->findBar->isVisible());
            QTest::keyClicks(w->findBar->edit, QStringLiteral("5-85"));
            w->SpeedButton1->click(); // again, and no row taken in since
            QVERIFY(w->Query1->fetchedCount() <= DataSetModel::kFetchBatch);
            QTest::keyClick(w->findBar->edit, Qt::Key_Return); // not OK: the window stays
            QVERIFY(w->isVisible());
            QCOMPARE(w->Query1->currentRow(), 850);
            QCOMPARE(w->DBGrid1->currentIndex().column(), columnOf(w, "ID_THIS"));
            QTest::keyClick(w->DBGrid1, Qt::Key_F3);
            QCOMPARE(w->Query1->currentRow(), 851);
            waitForCount(w);
            w->Query1->setCurrentRow(850);
            w->findBar->edit->setText("серийный 12");
            w->findRow(true); // round from the end: 12, not 120
            QCOMPARE(w->Query1->currentRow(), 12);
            QCOMPARE(w->findBar->outcome->text(), QStringLiteral("Поиск продолжен с другого конца"));
            QTest::keyClick(w->DBGrid1, Qt::Key_F3, Qt::ShiftModifier); // back, round to the last 12x
            QCOMPARE(w->Query1->currentRow(), 129);
            w->findBar->edit->setText("нет такого");
            w->findRow(true);
            QCOMPARE(w->findBar->outcome->text(), QStringLiteral("Не найдено"));
            QCOMPARE(w->Query1->currentRow(), 129);
            // Escape closes the line, the next one the window.
            w->findBar->edit->setFocus();
            QTest::keyClick(w->findBar->edit, Qt::Key_Escape);
            QVERIFY(!w->findBar->isVisible());
            QVERIFY(w->isVisible());
            QTest::keyClick(w->DBGrid1, Qt::Key_Escape);
            QVERIFY(!w->isVisible());
        }));
        QString result;
        ShowQueryResult("t", &serial_, "t_o.ID_THIS starting with '5-'", "", "", result);
        QCOMPARE(answerer.seen, QStringList{"Dlg_ViewQuery_Objects"});
    }

    // The legend draws every look of the table the grid paints from, with
    // its meaning, and the marks the "Детально" column shows; a row's hint is
    // the meaning of its look.
    void legendAndHints()
    {
        ModalAnswerer answerer(inWindow([&](TDlg_ViewQuery_Objects *w) {
            w->rowColoursAction->trigger();
            auto *legend = w->findChild<RowLegend *>();
            QVERIFY(legend && legend->isVisible());
            QCOMPARE(legend->windowTitle(), QStringLiteral("Цвета строк"));
            const QList<QLabel *> labels = legend->findChildren<QLabel *>();
            for (const RowLookRule &rule : RowLookRules()) {
                bool drawn = false;
                for (QLabel *l : labels)
                    drawn = drawn || (l->palette().color(QPalette::WindowText) == rule.look.foreground
                                      && l->palette().color(QPalette::Window) == rule.look.background.value_or(Qt::white)
                                      && l->font().bold() == rule.look.bold && l->font().italic() == rule.look.italic
                                      && l->text() == QStringLiteral("Наименование"));
                QVERIFY2(drawn, qPrintable(rule.meaning));
                QVERIFY(std::any_of(labels.begin(), labels.end(), [&](QLabel *l) { return l->text() == rule.meaning; }));
            }
            // The marks are what the grid shows for a detailed text and none.
            const int info = columnOf(w, "INFO");
            QStringList marks;
            for (const MemoMark &m : MemoMarks())
                marks << m.text;
            QStringList seen;
            for (int r = 0; r < w->DataSource1->rowCount(); ++r)
                if (!seen.contains(shown(w, r, info)))
                    seen << shown(w, r, info);
            std::sort(seen.begin(), seen.end());
            std::sort(marks.begin(), marks.end());
            QCOMPARE(seen, marks);
            legend->close();

            // The hint of a row: its look's meaning, then the grid's own hint.
            w->show();
            const QRect cell = w->DBGrid1->visualRect(w->DataSource1->index(0, 1));
            QHelpEvent help(QEvent::ToolTip, cell.center(), w->DBGrid1->viewport()->mapToGlobal(cell.center()));
            QApplication::sendEvent(w->DBGrid1->viewport(), &help);
            DbDataSet *q = w->Query1;
            const QString meaning = RowLookRuleFor(q->integerAt(q->fieldByName("ID_KIND")->index(), 0),
                                                   q->integerAt(q->fieldByName("ITS_ABSTRACT")->index(), 0),
                                                   q->integerAt(q->fieldByName("ITS_BASE")->index(), 0))
                                        .meaning;
            QCOMPARE(QToolTip::text(), meaning + "\nПравая кнопка мыши - МЕНЮ");
        }));
        QString result;
        ShowQueryResult("t", &demo_, "t_o.ID_THIS is not null", "", "", result);
    }
};

QTEST_MAIN(TestResultExtras)
#include "test_result_extras.moc"
