#include "widgets/grid_copy.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

QString escaped(const QString &text)
{
    QString out = text.toHtmlEscaped();
    out.replace(QChar('\n'), QStringLiteral("<br>"));
    out.remove(QChar('\r'));
    return out;
}

} // namespace

QString TabSeparatedLine(const QStringList &cells)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += QChar('\t');
        const QString &cell = cells[i];
        if (cell.contains(QChar('\t')) || cell.contains(QChar('\n')) || cell.contains(QChar('\r'))
            || cell.contains(QChar('"'))) {
            QString quoted = cell;
            quoted.replace(QChar('"'), QStringLiteral("\"\""));
            line += QChar('"') + quoted + QChar('"');
        } else {
            line += cell;
        }
    }
    return line;
}

QString HtmlTableHead(const QList<CopyColumn> &columns, bool withTitles)
{
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>\n"
                                  "<table border=\"1\" cellspacing=\"0\">\n");
    if (!withTitles)
        return html;
    html += QStringLiteral("<tr>");
    for (const CopyColumn &c : columns)
        html += QStringLiteral("<th>") + escaped(c.title) + QStringLiteral("</th>");
    html += QStringLiteral("</tr>\n");
    return html;
}

QString HtmlTableRow(const QStringList &cells, const QList<CopyColumn> &columns)
{
    QString html = QStringLiteral("<tr>");
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const bool text = i < columns.size() && columns[i].text;
        html += text ? QStringLiteral("<td style=\"mso-number-format:'\\@'\">") : QStringLiteral("<td>");
        html += escaped(cells[i]) + QStringLiteral("</td>");
    }
    html += QStringLiteral("</tr>\n");
    return html;
}

QString HtmlTableTail()
{
    return QStringLiteral("</table>\n</body></html>\n");
}

void PutOnClipboard(const QString &text, const QString &html)
{
    auto *data = new QMimeData;
    data->setText(text);
    if (!html.isEmpty())
        data->setHtml(html);
    QGuiApplication::clipboard()->setMimeData(data);
}
