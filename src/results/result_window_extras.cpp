// The result window beside its described controls: ordering by a column's
// title, the find line, copying, the row hints and the row-colour legend.

#include "results/result_window.h"

#include "db/dataset_model.h"
#include "db/db_dataset.h"
#include "results/result_query.h"
#include "support/app_error.h"
#include "widgets/db_grid.h"
#include "widgets/grid_find.h"
#include "widgets/row_legend.h"
#include "widgets/row_look.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>

void TDlg_ViewQuery_Objects::buildExtras(QWidget *found)
{
    DBGrid1->setRowHint([this](int row) {
        return RowLookRuleFor(Query1->integerAt(kindField_, row), Query1->integerAt(abstractField_, row),
                              Query1->integerAt(baseField_, row))
            .meaning;
    });

    QHeaderView *header = DBGrid1->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { ReportingErrors([&] { sortByColumn(column); }); });
    connect(DataSource1, &QAbstractItemModel::modelReset, this, &TDlg_ViewQuery_Objects::showSortIndicator);

    PopupMenu1->addSeparator();
    PopupMenu1->addAction(DBGrid1->copyAction());
    PopupMenu1->addAction(DBGrid1->copyAllAction());
    PopupMenu1->addSeparator();
    rowColoursAction = PopupMenu1->addAction(QStringLiteral("Цвета строк"));
    rowColoursAction->setObjectName(QStringLiteral("rowColoursAction"));
    connect(rowColoursAction, &QAction::triggered, this, [this] { ShowRowLegend(this, DBGrid1->font()); });

    findBar = new FindBar(found);
    findBar->hide();
    connect(findBar, &FindBar::findNext, this, [this] { ReportingErrors([this] { findRow(true); }); });
    connect(findBar, &FindBar::findPrevious, this, [this] { ReportingErrors([this] { findRow(false); }); });
    connect(findBar, &FindBar::closed, this, [this] { DBGrid1->setFocus(); });
    auto key = [this](const QKeySequence &sequence, auto action) {
        auto *shortcut = new QShortcut(sequence, this);
        connect(shortcut, &QShortcut::activated, this, [action] { ReportingErrors(action); });
    };
    key(QKeySequence::Find, [this] { findBar->open(); });
    key(QKeySequence(Qt::Key_F3), [this] { findRow(true); });
    key(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { findRow(false); });
}

QString TDlg_ViewQuery_Objects::effectiveOrder() const
{
    const QString chosen = ResultSortOrder(sortField_, sortDescending_);
    return chosen.isEmpty() ? orderByText_ : chosen;
}

void TDlg_ViewQuery_Objects::sortByColumn(int column)
{
    const DbField *field = Query1->field(DataSource1->fieldIndex(column));
    if (!field || ResultSortExpression(field->name()).isEmpty())
        return; // the detailed text has no order
    const QString previousField = sortField_;
    const bool previousDescending = sortDescending_;
    if (sortField_ != field->name()) {
        sortField_ = field->name();
        sortDescending_ = false;
    } else if (!sortDescending_) {
        sortDescending_ = true;
    } else {
        sortField_.clear(); // back to the ordering handed in
        sortDescending_ = false;
    }
    showSortIndicator();
    // A window that has not run its query yet only keeps the order for
    // "Переоткрыть".
    if (!Query1->isOpen())
        return;
    try {
        SpeedButton1Click();
    } catch (...) {
        sortField_ = previousField;
        sortDescending_ = previousDescending;
        showSortIndicator();
        throw;
    }
}

void TDlg_ViewQuery_Objects::showSortIndicator()
{
    QHeaderView *header = DBGrid1->horizontalHeader();
    for (int c = 0; !sortField_.isEmpty() && c < DataSource1->columnCount(); ++c) {
        const DbField *field = Query1->field(DataSource1->fieldIndex(c));
        if (field && field->name() == sortField_) {
            header->setSortIndicator(c, sortDescending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
            return;
        }
    }
    header->setSortIndicator(-1, Qt::AscendingOrder);
}

void TDlg_ViewQuery_Objects::findRow(bool forward)
{
    if (findBar->text().isEmpty()) {
        findBar->open();
        return;
    }
    findBar->show();
    findBar->showOutcome(FindInGrid(DBGrid1, findBar->text(), forward));
}

void TDlg_ViewQuery_Objects::keyPressEvent(QKeyEvent *event)
{
    // Escape closes the find line first, the window the next time.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && findBar->isVisible()) {
        findBar->hide();
        DBGrid1->setFocus();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
