#include "pickers/object_search.h"

#include "db/schema.h"
#include "support/str_utils.h"

QString ObjectSearchCondition(const ObjectSearchCriteria &c)
{
    QStringList parts;
    if (c.base && !c.reference)
        parts << QStringLiteral("ITS_BASE>0");
    if (c.reference && !c.base)
        parts << QStringLiteral("ITS_BASE<=0");
    if (c.byType && !c.typeId.isEmpty())
        parts << QStringLiteral("ID_TYPE=") + QuotedSql(c.typeId);
    if (c.byName && !c.fragment.isEmpty()) {
        if (c.containing)
            parts << QStringLiteral("UPPER(NAME_MAX) CONTAINING UPPER(") + QuotedSql(c.fragment) + QChar(')');
        else
            parts << QStringLiteral("NAME_MAX STARTING WITH ") + QuotedSql(c.fragment);
    }
    if (c.descendants && !c.chosenId.isEmpty())
        parts << QStringLiteral("PARENTS_ID CONTAINING ")
                     + QuotedSql(Schema::PARENTS_ID_OPEN + c.chosenId + Schema::PARENTS_ID_CLOSE);
    for (QString &part : parts)
        part = QStringLiteral(" (") + part + QStringLiteral(") ");
    return parts.join(QStringLiteral(" and "));
}

QStringList ObjectSearchLines(const QString &condition)
{
    const QString types = Schema::L_TYPEOBJ_LIST;
    QStringList lines{
        QStringLiteral("SELECT "),
        QStringLiteral("NUMPP, "),
        QStringLiteral("(select NAME_MAX from ") + types + QStringLiteral(" where ID_THIS=t_o.ID_TYPE) TYPE_NAME, "),
        QStringLiteral("NAME_MAX, "),
        QStringLiteral("DATE_1, "),
        QStringLiteral("TIME_1, "),
        QStringLiteral("DATE_2, "),
        QStringLiteral("TIME_2, "),
        QStringLiteral("NOTE, "),
        QStringLiteral("ID_THIS, "),
        QStringLiteral("ID_REF_NEAR, "),
        QStringLiteral("ID_REF, "),
        QStringLiteral("ID_PARENT, "),
        QStringLiteral("MNEMO_CODE, "),
        QStringLiteral("ID_TYPE, "),
        QStringLiteral("ITS_BASE, "),
        QStringLiteral("ITS_GLOBAL, "),
        QStringLiteral("(select ID_KIND from ") + types + QStringLiteral(" where ID_THIS=t_o.ID_TYPE) ID_KIND, "),
        QStringLiteral("(select ITS_ABSTRACT from ") + types
            + QStringLiteral(" where ID_THIS=t_o.ID_TYPE) ITS_ABSTRACT, "),
        QStringLiteral("(select ID_GRP from ") + types + QStringLiteral(" where ID_THIS=t_o.ID_TYPE) ID_GRP "),
        QStringLiteral("FROM "),
        Schema::OBJECTS_TREE + QStringLiteral(" t_o "),
    };
    if (!condition.isEmpty())
        lines << QStringLiteral("WHERE ") << condition;
    lines << QStringLiteral("ORDER BY ") << QStringLiteral("ID_THIS ");
    return lines;
}
