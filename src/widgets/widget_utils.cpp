#include "widgets/widget_utils.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

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
