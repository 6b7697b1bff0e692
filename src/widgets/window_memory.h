#pragma once
// Windows that remember how the user left them: the size and position of a
// window (and whether it was maximised), the positions of its splitters and
// the column widths of its grids are kept in a settings file of the program's
// own in the user's configuration folder (VRKX_Query/VRKX_Query_windows.conf
// under $XDG_CONFIG_HOME, else ~/.config), one group per window name, and
// given back when a window of that name is shown again. VRKX_Query.ini is
// never touched.
//
// A data grid keeps only the widths the user gave its columns by hand, by
// field name: the other columns go on following their display widths. A
// string grid keeps none: its columns are fitted to their contents whenever
// it is filled.

#include <QList>
#include <QRect>
#include <QString>

class QSettings;
class QWidget;

// Makes the window remember itself under its objectName: what was kept is
// given back when the window is first shown, and kept again whenever it is
// hidden (closed). A kept geometry that no longer lies on the screens is
// ignored: the window opens where it would have opened anyway.
void RememberWindow(QWidget *window);

// True when the rectangle lies whole on the screens' available areas (it may
// span several of them), and is not empty.
bool GeometryFits(const QRect &geometry, const QList<QRect> &screens);

// Other things the windows keep in the same file, by key ("FilterPage/..."):
// a folder last used, a list of recent files. Invalid when nothing is kept.
class QVariant;
QVariant RememberedValue(const QString &key);
void RememberValue(const QString &key, const QVariant &value);
