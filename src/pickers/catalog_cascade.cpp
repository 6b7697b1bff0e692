#include "pickers/catalog_cascade.h"

#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/schema.h"
#include "support/app_error.h"
#include "support/str_utils.h"

#include <utility>

QStringList SectionStatement(const QString &table, const QString &tableSuffix)
{
    return {QStringLiteral("SELECT"),        QStringLiteral("    NUMPP,"),      QStringLiteral("    NAME_MAX,"),
            QStringLiteral("    NAME_MIN,"), QStringLiteral("    NOTE,"),       QStringLiteral("    ID_THIS,"),
            QStringLiteral("    MNEMO_CODE,"), QStringLiteral("    ID_GRP"),    QStringLiteral("FROM"),
            QStringLiteral("    ") + table + tableSuffix};
}

QStringList ChildStatement(const QString &table, const QStringList &lastColumns, const QString &parentId)
{
    QStringList lines{QStringLiteral("SELECT "),        QStringLiteral("    NUMPP, "),    QStringLiteral("    NAME_MAX, "),
                      QStringLiteral("    NAME_MIN, "), QStringLiteral("    NOTE, "),     QStringLiteral("    ID_THIS, "),
                      QStringLiteral("    MNEMO_CODE, ")};
    lines << lastColumns;
    // An identifier read from the store may hold a quote: doubled, it still
    // names its own children.
    lines << QStringLiteral("FROM ") << QStringLiteral("    ") + table + QChar(' ') << QStringLiteral("WHERE ")
          << QStringLiteral("    ID_GRP=") + QuotedSql(parentId) << QStringLiteral("ORDER BY ")
          << QStringLiteral("    NUMPP ");
    return lines;
}

CatalogCascade::CatalogCascade(std::vector<DbDataSet *> levels, std::vector<StatementFor> statements,
                               QObject *parent)
    : QObject(parent), levels_(std::move(levels)), statements_(std::move(statements))
{
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        if (i + 1 < levels_.size()) {
            // A failed requery is reported here: the level that failed stays
            // closed and the window goes on. While the window opens, the
            // error is kept for open() instead.
            connect(levels_[i], &DbDataSet::afterScroll, this, [this, i] {
                if (!opening_) {
                    ReportingErrors([&] { requery(i + 1); });
                    return;
                }
                try {
                    requery(i + 1);
                } catch (...) {
                    if (!openError_)
                        openError_ = std::current_exception();
                }
            });
            connect(levels_[i], &DbDataSet::afterClose, this, [this, i] { closeBelow(i); });
        }
    }
}

void CatalogCascade::bind(DbConnection *connection)
{
    for (DbDataSet *level : levels_) {
        level->setConnection(connection);
        level->setTransaction(connection ? connection->defaultTransaction() : nullptr);
    }
}

void CatalogCascade::release()
{
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        levels_[i]->close();
        if (i > 0)
            levels_[i]->sql().clear();
        levels_[i]->setConnection(nullptr);
        levels_[i]->setTransaction(nullptr);
    }
}

void CatalogCascade::open()
{
    openError_ = nullptr;
    opening_ = true;
    try {
        levels_[0]->open();
    } catch (...) {
        opening_ = false;
        throw;
    }
    opening_ = false;
    if (openError_)
        std::rethrow_exception(std::exchange(openError_, nullptr));
}

void CatalogCascade::closeBelow(std::size_t level)
{
    for (std::size_t i = level + 1; i < levels_.size(); ++i)
        levels_[i]->close();
}

void CatalogCascade::requery(std::size_t level)
{
    if (level == 0 || level >= levels_.size())
        return;
    DbDataSet *child = levels_[level];
    child->close(); // its after-close closes every level below it
    child->sql().clear();
    const DbField *id = levels_[level - 1]->fieldByName(Schema::FLD_ID_THIS);
    const QString parentId = id && levels_[level - 1]->isOpen() ? id->asString() : QString();
    if (parentId.isEmpty())
        return;
    child->sql() = statements_[level](parentId);
    child->open();
}
