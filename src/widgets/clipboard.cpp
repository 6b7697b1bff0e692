#include "widgets/clipboard.h"

#include "support/str_utils.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

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
