#pragma once
// The cascade of a catalog picker: one row set per level (sections,
// macro-groups, groups, entries, and for the enumerated catalog the values).
// The current row of a level decides what the level below shows: after a
// level scrolls, the next one is built again for the current row's ID_THIS
// and opened; after a level closes, every level below it closes too.

#include <QObject>
#include <QStringList>
#include <exception>
#include <functional>
#include <vector>

class DbConnection;
class DbDataSet;

// The fixed statement of the section level: the seven columns of every
// level from the table (written as "    <table>" plus tableSuffix).
QStringList SectionStatement(const QString &table, const QString &tableSuffix);
// The statement of a level below the sections for the parent's ID_THIS, as
// the cascade writes it: columns, the table, the parent link, NUMPP order.
// lastColumns are the lines after "    MNEMO_CODE, ".
QStringList ChildStatement(const QString &table, const QStringList &lastColumns, const QString &parentId);

class CatalogCascade : public QObject {
    Q_OBJECT
public:
    // How the statement of level i (i >= 1) is written for a parent ID_THIS.
    using StatementFor = std::function<QStringList(const QString &parentId)>;

    // levels[0] is the section level; statements[i] serves levels[i] (the
    // first entry, for the sections, is not used).
    CatalogCascade(std::vector<DbDataSet *> levels, std::vector<StatementFor> statements, QObject *parent);

    const std::vector<DbDataSet *> &levels() const { return levels_; }
    // Binds every level to the connection and its default transaction, or
    // unbinds them (nullptr).
    void bind(DbConnection *connection);
    // Closes and unbinds every level; the statements below the sections are
    // cleared, the sections keep theirs.
    void release();
    // Opens the sections, and so every level below down the first rows. The
    // first error on the way down leaves here, once the opening is over:
    // the window is not shown. Later requeries report their errors and the
    // window goes on. Throws DbError.
    void open();
    // Builds level i again for the current row of level i - 1. Throws DbError.
    void requery(std::size_t level);

private:
    void closeBelow(std::size_t level);

    std::vector<DbDataSet *> levels_;
    std::vector<StatementFor> statements_;
    bool opening_ = false;
    std::exception_ptr openError_;
};
