#include "db/sql_guard.h"

#include "db/sql_lexer.h"
#include "support/codec_1251.h"

#include <deque>

namespace {

const QString kReadOnly = QStringLiteral("Программа базу данных только читает.");

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

// "процедура P" and the like, in the nominative.
QString objectTitle(int type, const QString &name)
{
    switch (type) {
    case ObjectType::Table: return QStringLiteral("таблица %1 (её вычисляемое поле)").arg(name);
    case ObjectType::View: return QStringLiteral("представление %1").arg(name);
    case ObjectType::Procedure: return QStringLiteral("процедура %1").arg(name);
    case ObjectType::Function: return QStringLiteral("функция %1").arg(name);
    default: return QStringLiteral("пакет %1").arg(name);
    }
}

QString reachingObjectMessage(const QString &name, const ReachingObject &object)
{
    if (object.dynamic)
        return QStringLiteral("Запрос не отправлен: в нём названа %1 базы данных, которая выполняет "
                              "динамический SQL (EXECUTE STATEMENT); что он сделает с базой данных, "
                              "проверить нельзя. %2")
            .arg(objectTitle(object.type, name), kReadOnly);
    return QStringLiteral("Запрос не отправлен: в нём названа %1 базы данных, а её чтение изменило бы "
                          "счётчик (генератор) базы данных. %2")
        .arg(objectTitle(object.type, name), kReadOnly);
}

// What a dependent row makes unsafe to name: the table for a computed
// column, a package for its header or body, the object itself otherwise;
// nothing for triggers and the rest, which reading never runs.
bool namedObject(const DependencyRow &row, QString &name, int &type)
{
    switch (row.dependentType) {
    case ObjectType::ComputedColumn:
        if (row.table.isEmpty())
            return false;
        name = row.table;
        type = row.tableIsView ? ObjectType::View : ObjectType::Table;
        return true;
    case ObjectType::View:
    case ObjectType::Procedure:
    case ObjectType::Function:
        name = row.dependent;
        type = row.dependentType;
        return true;
    case ObjectType::PackageHeader:
    case ObjectType::PackageBody:
        name = row.dependent;
        type = ObjectType::PackageHeader;
        return true;
    default:
        return false;
    }
}

} // namespace

QString SequenceCallIn(const QString &sql)
{
    return sequenceCall(SqlTokens(Cp1251::encode(sql)));
}

QString SequenceCallMessage(const QString &word)
{
    return QStringLiteral("Запрос не отправлен: в нём вызывается %1. Такой вызов изменил бы счётчик "
                          "(генератор) базы данных, а программа базу данных только читает.")
        .arg(word);
}

QString OnlySelectMessage()
{
    return QStringLiteral("Разрешены только запросы SELECT");
}

SequenceReach::SequenceReach(const std::vector<DependencyRow> &rows)
{
    // Who depends on what, by the name depended on.
    QHash<QString, std::vector<const DependencyRow *>> dependents;
    for (const DependencyRow &row : rows)
        dependents[row.dependedOn].push_back(&row);
    // Everything that reaches a sequence first, then what runs dynamic SQL:
    // an object that does both is named for the sequence.
    for (const bool dynamic : {false, true}) {
        std::deque<QString> reached;
        auto reach = [&](const DependencyRow &row) {
            QString name;
            int type = 0;
            if (!namedObject(row, name, type) || objects_.contains(name))
                return;
            objects_.insert(name, ReachingObject{type, dynamic});
            reached.push_back(name);
        };
        const int seed = dynamic ? ObjectType::DynamicSql : ObjectType::Sequence;
        for (const DependencyRow &row : rows)
            if (row.dependedOnType == seed)
                reach(row);
        while (!reached.empty()) {
            const QString name = reached.front();
            reached.pop_front();
            for (const DependencyRow *row : dependents.value(name))
                if (row->dependedOnType != ObjectType::Sequence && row->dependedOnType != ObjectType::DynamicSql)
                    reach(*row);
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
    const std::vector<SqlToken> tokens = SqlTokens(statement);
    if (tokens.empty() || !(isWord(tokens.front(), "SELECT") || isWord(tokens.front(), "WITH")))
        return OnlySelectMessage();
    if (const QString call = sequenceCall(tokens); !call.isEmpty())
        return SequenceCallMessage(call);
    for (const SqlToken &t : tokens) {
        if (t.kind != SqlToken::Word)
            continue;
        const QString name = QString::fromLatin1(t.text);
        if (const ReachingObject *object = reach.find(name))
            return reachingObjectMessage(name, *object);
    }
    return QString();
}
