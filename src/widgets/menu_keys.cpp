#include "widgets/menu_keys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QShortcut>

namespace {

QAction *firstMenu(QMenuBar *bar)
{
    for (QAction *a : bar->actions())
        if (a->isVisible() && a->isEnabled() && a->menu())
            return a;
    return nullptr;
}

void openFirstMenu(QMenuBar *bar)
{
    if (QAction *first = firstMenu(bar))
        bar->setActiveAction(first);
}

// Alt alone: pressed and let go with no other key or button in between, in
// the menu bar's window. The menu bar's own handling of Alt (where the style
// has one) may take the same release and move the focus to the bar; this
// stands beside it, and both end with the first menu open. A key event goes
// to each parent of a widget that leaves it, so one release is acted on once.
class LoneAlt : public QObject {
public:
    explicit LoneAlt(QMenuBar *bar) : QObject(bar), bar_(bar) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() != Qt::Key_Alt)
                armed_ = false;
            else if (!key->isAutoRepeat())
                armed_ = (key->modifiers() & ~Qt::AltModifier) == Qt::NoModifier;
            break;
        }
        case QEvent::KeyRelease: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() != Qt::Key_Alt || !armed_)
                break;
            armed_ = false;
            if (QApplication::activeWindow() == bar_->window() && !QApplication::activePopupWidget())
                openFirstMenu(bar_);
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
        case QEvent::WindowDeactivate:
            armed_ = false;
            break;
        default:
            break;
        }
        return false;
    }

private:
    QMenuBar *bar_;
    bool armed_ = false;
};

} // namespace

void ReachMenuBarByKeyboard(QMenuBar *bar)
{
    if (!bar)
        return;
    auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), bar->window());
    QObject::connect(f10, &QShortcut::activated, bar, [bar] { openFirstMenu(bar); });
    new LoneAlt(bar);
}
