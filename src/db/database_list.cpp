#include "db/database_list.h"

#include "support/str_utils.h"

namespace {

QString cellOf(const QStringList &cells, int c)
{
    return c < cells.size() ? Trim(cells[c]) : QString();
}

} // namespace

QStringList DatabaseListHeaders()
{
    return {QStringLiteral("Пояснение к базе данных"), QStringLiteral("AliasBDE5"),
            QStringLiteral("Полный путь к GDB-файлу"), QStringLiteral("USER NAME"), QStringLiteral("PASSWORD")};
}

DatabaseEntry DatabaseEntryFromRow(const QStringList &cells)
{
    DatabaseEntry entry{cellOf(cells, 0), cellOf(cells, 1), cellOf(cells, 2), cellOf(cells, 3), cellOf(cells, 4)};
    if (entry.USER_NAME.isEmpty())
        entry.USER_NAME = kDefaultUserName.toUpper();
    if (entry.PASSWORD.isEmpty())
        entry.PASSWORD = kDefaultPassword;
    return entry;
}

GridLayout DatabaseListLayout(const QList<QStringList> &rows)
{
    const QStringList headers = DatabaseListHeaders();
    GridLayout layout;
    layout.colCount = int(headers.size());
    layout.rowCount = int(rows.size()) + 1;
    layout.fixedRows = 1;
    layout.colWidths.assign(std::size_t(layout.colCount), 0);
    layout.cells.resize(std::size_t(layout.colCount));
    for (int c = 0; c < layout.colCount; ++c) {
        QStringList &column = layout.cells[std::size_t(c)];
        column << headers[c];
        for (const QStringList &row : rows)
            column << (c < row.size() ? row[c] : QString());
    }
    return layout;
}

QList<DatabaseEntry> DatabaseListEntries(const GridLayout &layout)
{
    QList<DatabaseEntry> entries;
    for (int r = layout.fixedRows; r < layout.rowCount; ++r) {
        QStringList cells;
        for (const QStringList &column : layout.cells)
            cells << column.value(r);
        entries << DatabaseEntryFromRow(cells);
    }
    return entries;
}
