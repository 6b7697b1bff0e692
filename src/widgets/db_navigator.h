#pragma once
// A navigator over a row set: first, prior, next and last, as four tool
// buttons. "Last" fetches the rest of the result in batches, letting the
// windows paint in between, under the busy cursor.

#include <QPointer>
#include <QWidget>

class DbDataSet;
class QToolButton;

class DbNavigator : public QWidget {
    Q_OBJECT
public:
    DbNavigator(const char *name, QWidget *parent);

    void setDataSet(DbDataSet *dataSet);

    void first();
    void prior();
    void next();
    void last();

    QToolButton *NavFirst;
    QToolButton *NavPrior;
    QToolButton *NavNext;
    QToolButton *NavLast;

private:
    QPointer<DbDataSet> dataSet_;
};
