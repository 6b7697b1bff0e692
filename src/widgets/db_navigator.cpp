#include "widgets/db_navigator.h"

#include "db/db_dataset.h"
#include "widgets/messages.h"
#include "widgets/widget_utils.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

DbNavigator::DbNavigator(const char *name, QWidget *parent) : QWidget(parent)
{
    setObjectName(QString::fromLatin1(name));
    QStyle *st = style();
    NavFirst = MakeToolButton(this, "NavFirst", st->standardIcon(QStyle::SP_MediaSkipBackward), QStringLiteral("Первая"));
    NavPrior = MakeToolButton(this, "NavPrior", st->standardIcon(QStyle::SP_MediaSeekBackward), QStringLiteral("Предыдущая"));
    NavNext = MakeToolButton(this, "NavNext", st->standardIcon(QStyle::SP_MediaSeekForward), QStringLiteral("Следующая"));
    NavLast = MakeToolButton(this, "NavLast", st->standardIcon(QStyle::SP_MediaSkipForward), QStringLiteral("Последняя"));
    connect(NavFirst, &QToolButton::clicked, this, &DbNavigator::first);
    connect(NavPrior, &QToolButton::clicked, this, &DbNavigator::prior);
    connect(NavNext, &QToolButton::clicked, this, &DbNavigator::next);
    connect(NavLast, &QToolButton::clicked, this, &DbNavigator::last);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (QToolButton *b : {NavFirst, NavPrior, NavNext, NavLast})
        layout->addWidget(b);
}

void DbNavigator::setDataSet(DbDataSet *dataSet)
{
    dataSet_ = dataSet;
}

void DbNavigator::first()
{
    if (dataSet_)
        ReportingErrors([this] { dataSet_->first(); });
}

void DbNavigator::prior()
{
    if (dataSet_)
        ReportingErrors([this] { dataSet_->prior(); });
}

void DbNavigator::next()
{
    if (dataSet_)
        ReportingErrors([this] { dataSet_->next(); });
}

void DbNavigator::last()
{
    if (!dataSet_)
        return;
    BusyCursor busy;
    // The windows keep painting while the rows come (the store is waited on
    // through its wait routine, with Cancel when it takes long).
    ReportingErrors([this] { dataSet_->last(); });
}
