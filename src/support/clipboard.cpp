#include "support/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QChar('\r') && c != QChar('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QChar('\r') && i + 1 < n && text[i + 1] == QChar('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

int ListToClipboard(const QStringList *list)
{
    if (!list)
        return 0;
    QGuiApplication::clipboard()->setText(list->join(QStringLiteral("\r\n")));
    return int(list->size());
}

int ListFromClipboard(QStringList *list, bool clearClipboard)
{
    if (!list)
        return 0;
    list->clear();
    QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard->mimeData();
    if (!data || !data->hasText())
        return 0;
    *list = SplitLines(data->text());
    if (clearClipboard)
        clipboard->clear();
    return int(list->size());
}
