#pragma once
// Windows-1251 at every boundary: files, the HTML page and the database
// connection. A character the code page lacks is written as "?".

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Cp1251 {
QString decode(const QByteArray &bytes);
QString decode(const char *data, qsizetype size);
QByteArray encode(const QString &text);
// The same, appended to out.
void encodeAppend(QByteArray &out, QStringView text);
// The lines in Windows-1251, each ended by CR LF (the last one too): the
// form of every text file the program writes.
QByteArray encodeLines(const QStringList &lines);
// Whether every character of the text has a Windows-1251 byte.
bool canEncode(const QString &text);
} // namespace Cp1251
