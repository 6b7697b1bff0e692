#include "widgets/widget_utils.h"

#include "support/app_error.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

namespace {

class RowChooser : public QObject {
public:
    RowChooser(QAbstractItemView *view, std::function<void()> choose)
        : QObject(view), view_(view), choose_(std::move(choose))
    {
        view->installEventFilter(this);
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
            if (index.isValid())
                ReportingErrors(choose_);
        });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != view_ || event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) || !view_->currentIndex().isValid())
            return false;
        ReportingErrors(choose_);
        return true;
    }

private:
    QAbstractItemView *view_;
    std::function<void()> choose_;
};

} // namespace

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text, const QColor &color, int points, bool bold)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    QFont f = l->font();
    if (points > 0)
        f.setPointSize(points);
    f.setBold(bold);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, color);
    l->setPalette(p);
    return l;
}

QHBoxLayout *MakeOkCancelStrip(QDialog *dialog, QWidget *strip, QPushButton *&ok, QPushButton *&cancel,
                               const char *okName, const char *cancelName)
{
    QWidget *parent = strip;
    ok = new QPushButton(QStringLiteral("OK"), parent);
    ok->setObjectName(QString::fromLatin1(okName));
    ok->setDefault(true);
    cancel = new QPushButton(QStringLiteral("Cancel"), parent);
    cancel->setObjectName(QString::fromLatin1(cancelName));
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto *layout = new QHBoxLayout(strip);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addStretch();
    layout->addWidget(ok);
    layout->addWidget(cancel);
    return layout;
}

QToolButton *MakeToolButton(QWidget *parent, const char *name, const QIcon &icon, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(icon);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    return b;
}

void SetEditBase(QLineEdit *edit, const QColor &colour)
{
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, colour);
    edit->setPalette(p);
}

void SetShortcutKeys(QAbstractButton *button, std::initializer_list<QKeySequence> keys)
{
    // The hint keeps its own text; README lists the keys.
    for (const QKeySequence &key : keys) {
        auto *shortcut = new QShortcut(key, button);
        QObject::connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
    }
}

void ChooseRowsOf(QAbstractItemView *view, std::function<void()> choose)
{
    new RowChooser(view, std::move(choose));
}
