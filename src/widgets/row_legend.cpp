#include "widgets/row_legend.h"

#include "widgets/row_look.h"
#include "widgets/widget_utils.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *sample(const QString &text, const RowLook &look, const QFont &gridFont, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    QFont f = gridFont;
    f.setBold(look.bold);
    f.setItalic(look.italic);
    l->setFont(f);
    l->setAutoFillBackground(true);
    l->setFrameStyle(QFrame::Box | QFrame::Plain);
    l->setContentsMargins(6, 2, 6, 2);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, look.background.value_or(QColor(Qt::white)));
    p.setColor(QPalette::WindowText, look.foreground);
    l->setPalette(p);
    return l;
}

} // namespace

RowLegend::RowLegend(const QFont &font, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("rowLegend"));
    setWindowTitle(QStringLiteral("Цвета строк"));
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    int row = 0;
    for (const RowLookRule &rule : RowLookRules()) {
        grid->addWidget(sample(QStringLiteral("Наименование"), rule.look, font, this), row, 0);
        auto *meaning = new QLabel(rule.meaning, this);
        meaning->setWordWrap(true);
        grid->addWidget(meaning, row++, 1);
    }
    RowLook plain;
    plain.foreground = QColor(0, 0, 0);
    for (const MemoMark &mark : MemoMarks()) {
        QLabel *s = sample(mark.text, plain, font, this);
        s->setAlignment(Qt::AlignCenter);
        grid->addWidget(s, row, 0);
        auto *meaning = new QLabel(mark.meaning, this);
        meaning->setWordWrap(true);
        grid->addWidget(meaning, row++, 1);
    }
    grid->setColumnStretch(1, 1);
    auto *note = new QLabel(QStringLiteral("Текущая ячейка и выделенные ячейки показаны цветом выделения."), this);
    note->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *l = new QVBoxLayout(this);
    l->addLayout(grid);
    l->addWidget(note);
    l->addWidget(buttons);
    setMinimumWidth(520);
}

void ShowRowLegend(QWidget *window, const QFont &gridFont)
{
    RowLegend *legend = window ? window->findChild<RowLegend *>(QStringLiteral("rowLegend"), Qt::FindDirectChildrenOnly)
                               : nullptr;
    if (!legend) {
        legend = new RowLegend(gridFont, window);
        legend->setAttribute(Qt::WA_DeleteOnClose);
    }
    legend->show();
    legend->raise();
    legend->activateWindow();
}
