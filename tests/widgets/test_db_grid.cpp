#include "common/test_store.h"
#include "db/dataset_model.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "widgets/db_grid.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestDbGrid : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    DbConnection conn_;

    void define(DbDataSet &ds)
    {
        ds.setConnection(&conn_);
        ds.sql() << "SELECT NUMPP, ID_THIS, NAME_MAX, INFO FROM OBJECTS_TREE ORDER BY ID_THIS";
        ds.addField({"NUMPP", FieldKind::Integer, "Nп/п", 3, false});
        ds.addField({"ID_THIS", FieldKind::Text, "ID-объекта", 10});
        ds.addField({"NAME_MAX", FieldKind::Text, "Наименование", 32});
        ds.addField({"INFO", FieldKind::Memo, "Детально", 3, true, 0, QString(), Qt::AlignHCenter});
    }

private slots:
    void initTestCase()
    {
        conn_.setDatabaseName(MakeTestStore(dir_.path(), "model.fdb", [](StoreWriter &w) {
            for (int i = 0; i < 2000; ++i)
                AddObject(w, QStringLiteral("9-%1").arg(i, 4, 10, QChar('0')), QStringLiteral("Объект %1").arg(i),
                          "", "", "", "", i % 2 ? QStringLiteral("текст") : QString());
        }));
        conn_.setUserName("u");
        conn_.open();
    }

    void columnsAndCells()
    {
        DbDataSet ds;
        define(ds);
        DbGrid view;
        view.setDataSet(&ds);
        DataSetModel &model = *view.dataModel();
        // A closed row set shows its visible fields (NUMPP is hidden) and no rows.
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.canFetchMore(QModelIndex()));
        ds.open();
        QCOMPARE(model.rowCount(), DataSetModel::kFetchBatch); // the first screen at once
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("ID-объекта"));
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Наименование"));
        QCOMPARE(model.fieldIndex(2), 3);
        QFont bold = view.font();
        bold.setBold(true);
        const int digit = std::max(view.fontMetrics().averageCharWidth(), QFontMetrics(bold).horizontalAdvance('0'));
        QCOMPARE(view.columnWidth(1), 32 * digit + 6);
        QCOMPARE(model.data(model.index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("Объект 0"));
        QCOMPARE(model.data(model.index(0, 2), Qt::DisplayRole).toString(), QStringLiteral("(memo)"));
        model.fetchMore(QModelIndex());
        QCOMPARE(model.data(model.index(1, 2), Qt::DisplayRole).toString(), QStringLiteral("(MEMO)"));
        QCOMPARE(model.data(model.index(1, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignHCenter | Qt::AlignVCenter);
        ds.close();
        QCOMPARE(model.rowCount(), 0);
    }

    void fetchesAsTheViewScrolls()
    {
        DbDataSet ds;
        define(ds);
        DbGrid view;
        view.resize(400, 300);
        view.setDataSet(&ds);
        DataSetModel &model = *view.dataModel();
        ds.open();
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(ds.fetchedCount() < 2000);
        const int firstScreen = model.rowCount();
        QVERIFY(firstScreen >= 1);
        // The rows come while the view goes on painting.
        for (int i = 0; i < 1000 && model.rowCount() < 2000; ++i) {
            view.scrollToBottom();
            QTest::qWait(2);
        }
        QCOMPARE(model.rowCount(), 2000);
        QCOMPARE(ds.fetchedCount(), 2000);
        QVERIFY(!model.canFetchMore(QModelIndex()));
    }

    void currentRowsFollowEachOther()
    {
        DbDataSet ds;
        define(ds);
        DbGrid view;
        view.setDataSet(&ds);
        DataSetModel &model = *view.dataModel();
        QSignalSpy scrolls(&ds, &DbDataSet::afterScroll);
        ds.open();
        QCOMPARE(scrolls.count(), 1);
        model.fetchMore(QModelIndex());
        view.setCurrentIndex(model.index(5, 1));
        QCOMPARE(ds.currentRow(), 5);
        QCOMPARE(scrolls.count(), 2);
        ds.setCurrentRow(7);
        QCOMPARE(view.currentIndex().row(), 7);
        QCOMPARE(view.currentIndex().column(), 1);
        QCOMPARE(scrolls.count(), 3);
        // A row beyond what the view has is fetched, and the view follows.
        ds.setCurrentRow(1500);
        QCOMPARE(model.rowCount(), ds.fetchedCount());
        QCOMPARE(view.currentIndex().row(), 1500);
        QCOMPARE(scrolls.count(), 4);
    }

    void drawHookGetsEveryCell()
    {
        DbDataSet ds;
        define(ds);
        DbGrid view;
        view.resize(500, 200);
        view.setDataSet(&ds);
        ds.open();
        view.dataModel()->fetchMore(QModelIndex());
        view.setCurrentIndex(view.dataModel()->index(2, 0));
        int cells = 0;
        bool sawCurrent = false;
        view.setDrawDataCell([&](DbGridCell &cell) {
            ++cells;
            QCOMPARE(cell.field, ds.field(cell.fieldIndex));
            if (cell.row == 2 && cell.fieldIndex == 1)
                sawCurrent = cell.selected;
            if (cell.row == 1) { // yellow, as a faulty row would be
                cell.background = QBrush(QColor(255, 255, 0));
                cell.textColor = QColor(255, 0, 0);
                cell.font.setBold(true);
                cell.drawDefault();
            }
        });
        const QImage image = view.viewport()->grab().toImage();
        QVERIFY(cells >= 3 * 3);
        QVERIFY(sawCurrent);
        const QRect r = view.visualRect(view.dataModel()->index(1, 1));
        QCOMPARE(image.pixelColor(r.left() + 1, r.bottom() - 1), QColor(255, 255, 0));
        QCOMPARE(image.pixelColor(view.visualRect(view.dataModel()->index(0, 1)).left() + 1, r.top() - 3),
                 QColor(255, 255, 255));
    }
};

QTEST_MAIN(TestDbGrid)
#include "test_db_grid.moc"
