#include "widgets/grid_find.h"

#include "db/dataset_model.h"
#include "db/db_dataset.h"
#include "db/store_wait.h"
#include "widgets/db_grid.h"
#include "widgets/rows_coming.h"
#include "widgets/widget_utils.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <vector>

namespace {

constexpr int kFindStepMs = 30;

} // namespace

bool CellMatches(const QString &cell, const QString &text)
{
    return cell.contains(text, Qt::CaseInsensitive);
}

FindOutcome FindInGrid(DbGrid *grid, const QString &text, bool forward)
{
    DbDataSet *ds = grid ? grid->dataSet() : nullptr;
    DataSetModel *model = grid ? grid->dataModel() : nullptr;
    if (!ds || !model || !ds->isOpen() || text.isEmpty())
        return FindOutcome::NotFound;
    // The columns whose text the cells show (a memo's is only a mark).
    std::vector<std::pair<int, int>> columns; // model column, field
    for (int c = 0; c < model->columnCount(); ++c) {
        const int f = model->fieldIndex(c);
        const DbField *field = ds->field(f);
        if (field && field->kind() != FieldKind::Memo && !ds->isBlob(f))
            columns.emplace_back(c, f);
    }
    const int current = grid->currentIndex().isValid() ? grid->currentIndex().row() : ds->currentRow();
    const int start = forward ? current + 1 : (current < 0 ? ds->fetchedCount() - 1 : current - 1);
    int row = start;
    bool wrapped = false;
    int foundRow = -1;
    int foundColumn = -1;

    auto matchAt = [&](int r) {
        for (const auto &[column, field] : columns) {
            if (CellMatches(ds->text(field, r), text)) {
                foundRow = r;
                foundColumn = column;
                return true;
            }
        }
        return false;
    };
    auto step = [&]() -> bool {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < kFindStepMs) {
            if (forward) {
                if (wrapped && row >= start)
                    return false; // round once: nothing
                if (row >= ds->fetchedCount()) {
                    if (!wrapped && AwaitMoreRows(*ds))
                        return true;
                    if (wrapped || start <= 0)
                        return false;
                    wrapped = true;
                    row = 0;
                    continue;
                }
            } else {
                if (wrapped && row <= start)
                    return false;
                if (row < 0) {
                    const int last = ds->fetchedCount() - 1;
                    if (wrapped || start >= last)
                        return false;
                    wrapped = true;
                    row = last;
                    continue;
                }
            }
            if (matchAt(row))
                return false;
            row += forward ? 1 : -1;
        }
        return true;
    };
    const bool finished = RunLongWork(step, [&] {
        return QStringLiteral("Поиск: просмотрено строк %1 из полученных %2").arg(std::max(row, 0)).arg(ds->fetchedCount());
    });
    if (!finished)
        return FindOutcome::Cancelled;
    if (foundRow < 0 || foundRow >= model->rowCount())
        return FindOutcome::NotFound;
    const QModelIndex index = model->index(foundRow, foundColumn);
    grid->setCurrentIndex(index);
    grid->scrollTo(index);
    return wrapped ? FindOutcome::Wrapped : FindOutcome::Found;
}

FindBar::FindBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("findBar"));
    label = new QLabel(QStringLiteral("Найти:"), this);
    edit = Named(new QLineEdit(this), "findEdit");
    edit->setClearButtonEnabled(true);
    label->setBuddy(edit);
    nextButton = MakeToolButton(this, "findNextButton", style()->standardIcon(QStyle::SP_ArrowDown),
                                QStringLiteral("Следующая строка с этим текстом"));
    previousButton = MakeToolButton(this, "findPreviousButton", style()->standardIcon(QStyle::SP_ArrowUp),
                                    QStringLiteral("Предыдущая строка с этим текстом"));
    closeButton = MakeToolButton(this, "findCloseButton", style()->standardIcon(QStyle::SP_TitleBarCloseButton),
                                 QStringLiteral("Закрыть строку поиска"));
    outcome = Named(new QLabel(this), "findOutcome");
    outcome->setAutoFillBackground(true);
    outcome->setContentsMargins(4, 0, 4, 0);
    auto *l = new QHBoxLayout(this);
    l->setContentsMargins(2, 1, 2, 1);
    l->setSpacing(3);
    l->addWidget(label);
    l->addWidget(edit, 1);
    l->addWidget(nextButton);
    l->addWidget(previousButton);
    l->addWidget(outcome);
    l->addStretch();
    l->addWidget(closeButton);
    edit->installEventFilter(this);
    connect(nextButton, &QToolButton::clicked, this, &FindBar::findNext);
    connect(previousButton, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(closeButton, &QToolButton::clicked, this, [this] {
        hide();
        emit closed();
    });
    outcome->hide();
    connect(edit, &QLineEdit::textEdited, this, [this] { outcome->hide(); });
}

QString FindBar::text() const
{
    return edit->text();
}

void FindBar::open()
{
    show();
    edit->setFocus(Qt::ShortcutFocusReason);
    edit->selectAll();
}

void FindBar::showOutcome(FindOutcome result)
{
    QPalette p = palette();
    switch (result) {
    case FindOutcome::Found:
        outcome->clear();
        break;
    case FindOutcome::Wrapped:
        outcome->setText(QStringLiteral("Поиск продолжен с другого конца"));
        break;
    case FindOutcome::NotFound:
        outcome->setText(QStringLiteral("Не найдено"));
        p.setColor(QPalette::Window, QColor(255, 200, 200));
        p.setColor(QPalette::WindowText, QColor(128, 0, 0));
        break;
    case FindOutcome::Cancelled:
        outcome->setText(QStringLiteral("Поиск прерван"));
        break;
    }
    outcome->setPalette(p);
    outcome->setVisible(!outcome->text().isEmpty());
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier)
                emit findPrevious();
            else
                emit findNext();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            hide();
            emit closed();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
