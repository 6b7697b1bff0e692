#pragma once
// Windows-1251 at every boundary: files, the HTML page and the database
// connection. A character the code page lacks is written as "?".

#include <QByteArray>
#include <QString>

namespace Cp1251 {
QString decode(const QByteArray &bytes);
QString decode(const char *data, qsizetype size);
QByteArray encode(const QString &text);
// Whether every character of the text has a Windows-1251 byte.
bool canEncode(const QString &text);
} // namespace Cp1251
