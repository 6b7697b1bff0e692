#include "db/sql_guard.h"

#include "db/sql_lexer.h"

#include <QSet>
#include <deque>

namespace {

const QString kReadOnly = QStringLiteral("Программа базу данных только читает.");
const QString kUnchecked = QStringLiteral("Что он сделает с базой данных, проверить нельзя, а программа базу "
                                          "данных только читает.");

bool isWord(const SqlToken &t, const char *word)
{
    return t.kind == SqlToken::Word && t.text == word;
}

QString sequenceCall(const std::vector<SqlToken> &t)
{
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (isWord(t[i], "GEN_ID") && i + 1 < t.size() && t[i + 1].kind == SqlToken::Punct && t[i + 1].text == "(")
            return QStringLiteral("GEN_ID");
        if (isWord(t[i], "NEXT") && i + 2 < t.size() && isWord(t[i + 1], "VALUE") && isWord(t[i + 2], "FOR"))
            return QStringLiteral("NEXT VALUE FOR");
    }
    return QString();
}

// How an object is spoken of, by its kind: the noun, the participle that
// agrees with it, when it runs, and "in it".
struct Kind {
    const char *noun;
    const char *named;
    const char *when;
    const char *in;
};

Kind kindOf(int type)
{
    switch (type) {
    case ObjectType::Table:
        return {"таблица", "названа", "при чтении её вычисляемого поля", "в таблице"};
    case ObjectType::View:
        return {"представление", "названо", "при его чтении", "в представлении"};
    case ObjectType::Procedure:
        return {"процедура", "названа", "при её выполнении", "в процедуре"};
    case ObjectType::Function:
        return {"функция", "названа", "при её вызове", "в функции"};
    case ObjectType::Trigger:
        return {"триггер", "назван", "при его срабатывании", "в триггере"};
    default:
        return {"пакет", "назван", "при вызове его подпрограмм", "в пакете"};
    }
}

QString nominative(int type, const QString &name)
{
    return QStringLiteral("%1 %2").arg(QString::fromUtf8(kindOf(type).noun), name);
}

// What happens when the object runs, after "при её выполнении" and the like.
QString whatHappens(const ReachingObject &object)
{
    switch (object.why) {
    case ObjectType::DynamicSql:
        return QStringLiteral("выполняется динамический SQL (EXECUTE STATEMENT %1 %2)")
            .arg(QString::fromUtf8(kindOf(object.originType).in), object.origin);
    case ObjectType::NoSource:
        return QStringLiteral("выполняется код, исходного текста которого в базе данных нет (%1)")
            .arg(nominative(object.originType, object.origin));
    case ObjectType::External:
        return QStringLiteral("выполняется внешний код, который хранится вне базы данных (%1)")
            .arg(nominative(object.originType, object.origin));
    default:
        return QStringLiteral("изменился бы счётчик (генератор) %1 базы данных").arg(object.origin);
    }
}

QString reachingObjectMessage(const QString &name, const ReachingObject &object)
{
    const Kind kind = kindOf(object.type);
    const QString first = QStringLiteral("Запрос не отправлен: в нём %1 %2 %3 базы данных, а %4 %5.")
                              .arg(QString::fromUtf8(kind.named), QString::fromUtf8(kind.noun), name,
                                   QString::fromUtf8(kind.when), whatHappens(object));
    return first + QLatin1Char(' ') + (object.why == ObjectType::Sequence ? kReadOnly : kUnchecked);
}

QString sequenceCallMessage(const QString &word)
{
    return QStringLiteral("Запрос не отправлен: в нём вызывается %1. Такой вызов изменил бы счётчик "
                          "(генератор) базы данных, а программа базу данных только читает.")
        .arg(word);
}

bool isSeed(int type)
{
    return type == ObjectType::Sequence || type == ObjectType::DynamicSql || type == ObjectType::NoSource
           || type == ObjectType::External;
}

// The kind of object a row makes unsafe: package header and body are the
// package.
int namedType(int dependentType)
{
    return dependentType == ObjectType::PackageHeader ? ObjectType::PackageBody : dependentType;
}

} // namespace

QString OnlySelectMessage()
{
    return QStringLiteral("Разрешены только запросы SELECT");
}

SequenceReach::SequenceReach(const std::vector<DependencyRow> &rows)
{
    // Who uses what, by the name used.
    QHash<QString, std::vector<const DependencyRow *>> users;
    for (const DependencyRow &row : rows)
        if (!isSeed(row.dependedOnType))
            users[row.dependedOn].push_back(&row);
    // A sequence first, then dynamic SQL, then the rest: an object that
    // reaches several is named for the first.
    for (const int seed : {ObjectType::Sequence, ObjectType::DynamicSql, ObjectType::NoSource, ObjectType::External}) {
        std::deque<QString> reached;
        auto reach = [&](const DependencyRow &row, const ReachingObject &cause) {
            if (objects_.contains(row.dependent))
                return;
            ReachingObject object = cause;
            object.type = namedType(row.dependentType);
            objects_.insert(row.dependent, object);
            reached.push_back(row.dependent);
        };
        for (const DependencyRow &row : rows) {
            if (row.dependedOnType != seed)
                continue;
            if (seed == ObjectType::Sequence)
                reach(row, {0, seed, row.dependedOn, seed});
            else
                reach(row, {0, seed, row.dependent, namedType(row.dependentType)});
        }
        while (!reached.empty()) {
            const QString name = reached.front();
            reached.pop_front();
            const ReachingObject cause = objects_.value(name);
            for (const DependencyRow *row : users.value(name))
                reach(*row, cause);
        }
    }
}

const ReachingObject *SequenceReach::find(const QString &name) const
{
    const auto it = objects_.constFind(name);
    return it == objects_.constEnd() ? nullptr : &it.value();
}

QString StatementRefusal(const QByteArray &statement, const SequenceReach &reach)
{
    if (statement.contains('\0'))
        return QStringLiteral("Запрос не отправлен: в его тексте есть символ с кодом 0. Сервер прочёл бы "
                              "запрос только до этого символа, и результат был бы не тем, что написано. "
                              "Уберите этот символ из текста запроса.");
    const std::vector<SqlToken> tokens = SqlTokens(statement);
    if (tokens.empty() || !(isWord(tokens.front(), "SELECT") || isWord(tokens.front(), "WITH")))
        return OnlySelectMessage();
    // A select that locks its rows: the engine prepares it as a plain one.
    if (tokens.size() >= 2 && isWord(tokens.back(), "LOCK") && isWord(tokens[tokens.size() - 2], "WITH"))
        return OnlySelectMessage();
    if (const QString call = sequenceCall(tokens); !call.isEmpty())
        return sequenceCallMessage(call);
    for (const SqlToken &t : tokens) {
        if (t.kind != SqlToken::Word)
            continue;
        const QString name = QString::fromLatin1(t.text.data(), qsizetype(t.text.size()));
        // A statement cannot call a trigger.
        if (const ReachingObject *object = reach.find(name); object && object->type != ObjectType::Trigger)
            return reachingObjectMessage(name, *object);
    }
    return QString();
}

QStringList StatementNames(const QByteArray &statement)
{
    QStringList names;
    QSet<QString> seen;
    for (const SqlToken &t : SqlTokens(statement)) {
        if (t.kind != SqlToken::Word)
            continue;
        const QString name = QString::fromLatin1(t.text.data(), qsizetype(t.text.size()));
        if (!seen.contains(name)) {
            seen.insert(name);
            names << name;
        }
    }
    return names;
}

bool RunsDynamicSql(const QByteArray &source)
{
    const std::vector<SqlToken> tokens = SqlTokens(source);
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i)
        if (isWord(tokens[i], "EXECUTE") && isWord(tokens[i + 1], "STATEMENT"))
            return true;
    return false;
}

QString DatabaseTriggerNotice(const std::vector<DatabaseTrigger> &triggers, const SequenceReach &reach)
{
    static const char *const events[] = {"при каждом подключении", "при каждом отключении",
                                         "в начале каждой транзакции", "при подтверждении каждой транзакции",
                                         "при откате каждой транзакции"};
    QStringList lines;
    for (const DatabaseTrigger &trigger : triggers) {
        const ReachingObject *object = reach.find(trigger.name);
        if (!object)
            continue;
        const int event = trigger.type - 8192;
        const QString when = event >= 0 && event < 5 ? QString::fromUtf8(events[event])
                                                     : QStringLiteral("по событию %1").arg(trigger.type);
        const QString what = object->why == ObjectType::Sequence
                                 ? QStringLiteral("изменяет счётчик (генератор) %1 базы данных").arg(object->origin)
                                 : whatHappens(*object);
        lines << QStringLiteral("    %1 (%2): %3").arg(trigger.name, when, what);
    }
    if (lines.isEmpty())
        return QString();
    const bool one = lines.size() == 1;
    return (one ? QStringLiteral("В базе данных есть триггер базы данных, который сервер выполняет сам, и "
                                 "программа не может этому помешать (отключить его при подключении может "
                                 "только владелец базы данных или SYSDBA):")
                : QStringLiteral("В базе данных есть триггеры базы данных, которые сервер выполняет сам, и "
                                 "программа не может этому помешать (отключить их при подключении может "
                                 "только владелец базы данных или SYSDBA):"))
           + QLatin1Char('\n') + lines.join(QLatin1Char('\n')) + QLatin1Char('\n')
           + QStringLiteral("Сама программа базу данных только читает.");
}
