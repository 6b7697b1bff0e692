#include "support/widget_utils.h"

#include <QLabel>

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
