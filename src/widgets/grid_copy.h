#pragma once
// What a copy from a grid puts on the clipboard: tab-separated lines, which
// every editor and spreadsheet pastes, and an HTML table, which a
// spreadsheet pastes into its cells column by column.

#include <QList>
#include <QString>
#include <QStringList>

struct CopyColumn {
    QString title;
    bool text = true; // kept as text by a spreadsheet (identifiers such as 9-10 are no dates)
};

// One line, without its line break. A value that holds a tab, a line break
// or a double quote is written between double quotes, its quotes doubled, as
// spreadsheets read such text back.
QString TabSeparatedLine(const QStringList &cells);

// An HTML page holding one table: the head (with the title row when
// withTitles), one row per call, and the tail. Every text is escaped.
QString HtmlTableHead(const QList<CopyColumn> &columns, bool withTitles);
QString HtmlTableRow(const QStringList &cells, const QList<CopyColumn> &columns);
QString HtmlTableTail();

// Above this many rows only the text is copied: an HTML table of that size
// would take a spreadsheet longer to paste than the text does.
constexpr int kHtmlCopyRowLimit = 100000;

// Puts the text (and the HTML, when there is one) on the clipboard.
void PutOnClipboard(const QString &text, const QString &html);
