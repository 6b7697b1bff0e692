#include "db/db_query.h"

QString DbQuery::sqlText() const
{
    QString text;
    for (const QString &line : dataSet_.sql())
        text += line + QChar('\n');
    return text;
}

void DbQuery::execQuery()
{
    dataSet_.close();
    dataSet_.open();
}

QString DbQuery::fieldAsString(int column) const
{
    if (!dataSet_.isOpen() || dataSet_.isEmpty())
        return QString();
    return dataSet_.text(column, dataSet_.currentRow());
}
