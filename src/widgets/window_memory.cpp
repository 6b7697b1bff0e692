#include "widgets/window_memory.h"

#include "support/app_error.h"
#include "widgets/db_grid.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRegion>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QWidget>

namespace {

QSettings windowSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VRKX_Query"),
                     QStringLiteral("VRKX_Query_windows"));
}

// The named widgets of a kind that belong to the window itself (not to a
// dialog it happens to own at the moment).
template <class W>
QList<W *> parts(QWidget *window)
{
    QList<W *> found;
    for (W *w : window->findChildren<W *>())
        if (w->window() == window && !w->objectName().isEmpty())
            found << w;
    return found;
}

class WindowMemory : public QObject {
public:
    explicit WindowMemory(QWidget *window) : QObject(window), window_(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Showing again after a minimise, or a hide by the window manager,
        // is not the user closing the window.
        if (watched == window_ && !event->spontaneous()) {
            if (event->type() == QEvent::Show && !restored_) {
                restored_ = true;
                ReportingErrors([this] { restore(); });
            } else if (event->type() == QEvent::Hide && restored_) {
                ReportingErrors([this] { save(); });
            }
        }
        return false;
    }

private:
    void restore()
    {
        QSettings s = windowSettings();
        s.beginGroup(window_->objectName());
        const QRect geometry = s.value(QStringLiteral("geometry")).toRect();
        QList<QRect> screens;
        for (const QScreen *screen : QGuiApplication::screens())
            screens << screen->availableGeometry();
        if (GeometryFits(geometry, screens))
            window_->setGeometry(geometry);
        if (s.value(QStringLiteral("maximized")).toBool())
            window_->setWindowState(window_->windowState() | Qt::WindowMaximized);
        for (QSplitter *splitter : parts<QSplitter>(window_)) {
            const QByteArray state = s.value(QStringLiteral("splitters/") + splitter->objectName()).toByteArray();
            if (!state.isEmpty())
                splitter->restoreState(state);
        }
        s.beginGroup(QStringLiteral("columns"));
        for (DbGrid *grid : parts<DbGrid>(window_)) {
            s.beginGroup(grid->objectName());
            QHash<QString, int> widths;
            for (const QString &field : s.childKeys())
                if (const int width = s.value(field).toInt(); width > 0)
                    widths.insert(field, width);
            s.endGroup();
            if (!widths.isEmpty())
                grid->setUserColumnWidths(widths);
        }
    }

    void save()
    {
        QSettings s = windowSettings();
        s.beginGroup(window_->objectName());
        const bool maximized = window_->isMaximized();
        s.setValue(QStringLiteral("geometry"), maximized ? window_->normalGeometry() : window_->geometry());
        s.setValue(QStringLiteral("maximized"), maximized);
        for (QSplitter *splitter : parts<QSplitter>(window_))
            s.setValue(QStringLiteral("splitters/") + splitter->objectName(), splitter->saveState());
        s.beginGroup(QStringLiteral("columns"));
        for (DbGrid *grid : parts<DbGrid>(window_)) {
            // Widths the user set by hand in earlier windows stay kept.
            s.beginGroup(grid->objectName());
            const QHash<QString, int> widths = grid->userColumnWidths();
            for (auto it = widths.begin(); it != widths.end(); ++it)
                s.setValue(it.key(), it.value());
            s.endGroup();
        }
    }

    QWidget *window_;
    bool restored_ = false;
};

} // namespace

void RememberWindow(QWidget *window)
{
    if (window)
        new WindowMemory(window);
}

bool GeometryFits(const QRect &geometry, const QList<QRect> &screens)
{
    if (!geometry.isValid())
        return false;
    QRegion outside(geometry);
    for (const QRect &screen : screens)
        outside -= screen;
    return outside.isEmpty();
}

QVariant RememberedValue(const QString &key)
{
    return windowSettings().value(key);
}

void RememberValue(const QString &key, const QVariant &value)
{
    windowSettings().setValue(key, value);
}
