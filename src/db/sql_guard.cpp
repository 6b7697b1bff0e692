#include "db/sql_guard.h"

#include <QStringList>

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QChar('_') || c == QChar('$');
}

// The statement as words and single punctuation characters, without string
// literals, quoted names and comments.
QStringList tokens(const QString &sql)
{
    QStringList out;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QChar('-') && i + 1 < n && sql[i + 1] == QChar('-')) {
            while (i < n && sql[i] != QChar('\n') && sql[i] != QChar('\r'))
                ++i;
        } else if (c == QChar('/') && i + 1 < n && sql[i + 1] == QChar('*')) {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == QChar('\'') || c == QChar('"')) {
            // A doubled quote stands for one inside the literal.
            ++i;
            while (i < n) {
                if (sql[i] == c) {
                    if (i + 1 < n && sql[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out << QStringLiteral("'");
        } else if (isWordChar(c)) {
            const qsizetype start = i;
            while (i < n && isWordChar(sql[i]))
                ++i;
            out << sql.mid(start, i - start).toUpper();
        } else {
            out << QString(c);
            ++i;
        }
    }
    return out;
}

} // namespace

QString SequenceCallIn(const QString &sql)
{
    const QStringList t = tokens(sql);
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] == QLatin1String("GEN_ID") && i + 1 < t.size() && t[i + 1] == QLatin1String("("))
            return QStringLiteral("GEN_ID");
        if (t[i] == QLatin1String("NEXT") && i + 2 < t.size() && t[i + 1] == QLatin1String("VALUE")
            && t[i + 2] == QLatin1String("FOR"))
            return QStringLiteral("NEXT VALUE FOR");
    }
    return QString();
}

QString SequenceCallMessage(const QString &word)
{
    return QStringLiteral("Запрос не отправлен: в нём вызывается %1. Такой вызов изменил бы счётчик "
                          "(генератор) базы данных, а программа базу данных только читает.")
        .arg(word);
}
