#include "db/db_dataset.h"
#include "widgets/db_grid.h"
#include "widgets/string_grid.h"
#include "widgets/window_memory.h"

#include <QDialog>
#include <QHeaderView>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A window as the program builds them: a splitter, a data grid over a closed
// row set (its columns are the visible fields: NUMPP, if shown, NAME_MAX and
// ID_THIS) and a string grid.
struct Window : QDialog {
    explicit Window(bool numberShown)
    {
        setObjectName("Dlg_Test");
        resize(420, 300);
        RememberWindow(this);
        auto *fields = new DbDataSet(this);
        fields->addField({"NUMPP", FieldKind::Integer, "Nп/п", 3, numberShown});
        fields->addField({"NAME_MAX", FieldKind::Text, "Наименование", 32});
        fields->addField({"ID_THIS", FieldKind::Text, "ID", 10});
        splitter = new QSplitter(Qt::Vertical, this);
        splitter->setObjectName("Splitter_Main");
        grid = new DbGrid(splitter);
        grid->setObjectName("DBGrid1");
        grid->setDataSet(fields);
        strings = new StringGrid(splitter);
        strings->setObjectName("SG_Test");
        strings->setColCount(3);
        (new QVBoxLayout(this))->addWidget(splitter);
        show();
    }
    QSplitter *splitter;
    DbGrid *grid;
    StringGrid *strings;
};

} // namespace

class TestWindowMemory : public QObject {
    Q_OBJECT
    QTemporaryDir config_;

private slots:
    void geometryFits_data()
    {
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("fits");
        QTest::newRow("on the first screen") << QRect(10, 20, 600, 400) << true;
        QTest::newRow("across both screens") << QRect(1500, 100, 600, 400) << true;
        QTest::newRow("partly beside them") << QRect(1500, 700, 600, 400) << false;
        QTest::newRow("on a screen since removed") << QRect(4000, 100, 600, 400) << false;
        QTest::newRow("nothing kept") << QRect() << false;
    }
    void geometryFits()
    {
        QFETCH(QRect, geometry);
        QFETCH(bool, fits);
        // Side by side; the first one has a panel at the bottom.
        QCOMPARE(GeometryFits(geometry, {QRect(0, 0, 1600, 870), QRect(1600, 0, 1280, 1024)}), fits);
    }

    // The next window of a name shows what the last one was left like; a
    // column's width set by hand follows its field and outlives a new layout;
    // a string grid's widths are not kept.
    void keptAcrossTwoWindows()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_.path()); // never the user's
        auto *first = new Window(false);
        QVERIFY(QTest::qWaitForWindowExposed(first));
        const int idWidth = first->grid->columnWidth(1);
        const QRect geometry(first->geometry().topLeft() + QPoint(17, 11), QSize(380, 340));
        first->setGeometry(geometry);
        first->splitter->setSizes({200, 100});
        const int nameWidth = first->grid->columnWidth(0) + 55;
        first->grid->horizontalHeader()->resizeSection(0, nameWidth);
        first->strings->setColWidth(1, 77);
        first->grid->applyColumnWidths();
        QCOMPARE(first->grid->columnWidth(0), nameWidth);
        delete first; // closed, then gone
        QVERIFY(QFile::exists(config_.filePath("VRKX_Query/VRKX_Query_windows.conf")));

        Window second(true);
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QCOMPARE(second.geometry(), geometry);
        QCOMPARE(second.grid->columnWidth(1), nameWidth);
        QCOMPARE(second.grid->columnWidth(2), idWidth);
        QVERIFY(second.strings->colWidth(1) != 77); // a string grid is fitted anew, never remembered
        const QList<int> sizes = second.splitter->sizes();
        QVERIFY(qAbs(sizes[0] - 2 * sizes[1]) <= 3);
    }
};

QTEST_MAIN(TestWindowMemory)
#include "test_window_memory.moc"
