#include "results/result_query.h"

#include "db/schema.h"

QStringList ResultQueryLines(const QString &condition, const QString &orderBy)
{
    QStringList lines{
        QStringLiteral("SELECT "),
        QStringLiteral("t_o.NUMPP,"),
        QStringLiteral("ltl.NAME_MAX TYPE_NAME ,"),
        QStringLiteral("t_o.NAME_MAX,"),
        QStringLiteral("t_o.DATE_1,"),
        QStringLiteral("t_o.TIME_1,"),
        QStringLiteral("t_o.DATE_2,"),
        QStringLiteral("t_o.TIME_2,"),
        QStringLiteral("t_o.NOTE,"),
        QStringLiteral("t_o.NOTE,"),
        QStringLiteral("(select NAME_MAX from ") + Schema::OBJECTS_TREE
            + QStringLiteral(" where ID_THIS=t_o.ID_PARENT) PARENT_NAME,t_o.ID_THIS,"),
        QStringLiteral("t_o.MNEMO_CODE,"),
        QStringLiteral("t_o.INFO,"),
        QStringLiteral("t_o.ID_THIS,"),
        QStringLiteral("t_o.ID_TYPE,"),
        QStringLiteral("t_o.ITS_BASE,"),
        QStringLiteral("t_o.ITS_GLOBAL,"),
        QStringLiteral("t_o.ID_REF_NEAR,"),
        QStringLiteral("t_o.ID_REF,"),
        QStringLiteral("t_o.ID_PARENT,"),
        QStringLiteral("ltl.ID_KIND,"),
        QStringLiteral("ltl.ITS_ABSTRACT,"),
        QStringLiteral("ltl.ID_GRP"),
        QStringLiteral("from ") + Schema::OBJECTS_TREE + QStringLiteral(" t_o  left join ") + Schema::L_TYPEOBJ_LIST
            + QStringLiteral(" ltl "),
        QStringLiteral("on "),
        QStringLiteral("t_o.ID_TYPE = ltl.ID_THIS"),
    };
    if (!condition.isEmpty())
        lines << QStringLiteral("where ") << condition;
    if (!orderBy.isEmpty())
        lines << QStringLiteral("order by ") << orderBy;
    return lines;
}

QString ResultSortExpression(const QString &fieldName)
{
    const QString name = fieldName.trimmed().toUpper();
    if (name == QLatin1String("TYPE_NAME"))
        return QStringLiteral("ltl.NAME_MAX");
    if (name == QLatin1String("PARENT_NAME"))
        return QStringLiteral("(select NAME_MAX from ") + Schema::OBJECTS_TREE
               + QStringLiteral(" where ID_THIS=t_o.ID_PARENT)");
    for (const char *joined : {"ID_KIND", "ITS_ABSTRACT", "ID_GRP"})
        if (name == QLatin1String(joined))
            return QStringLiteral("ltl.") + name;
    for (const char *own : {"NUMPP", "NAME_MAX", "DATE_1", "TIME_1", "DATE_2", "TIME_2", "NOTE", "ID_THIS",
                            "MNEMO_CODE", "ID_TYPE", "ITS_BASE", "ITS_GLOBAL", "ID_REF_NEAR", "ID_REF", "ID_PARENT"})
        if (name == QLatin1String(own))
            return QStringLiteral("t_o.") + name;
    return QString(); // INFO, a text blob, and names the result does not have
}

QString ResultSortOrder(const QString &fieldName, bool descending)
{
    const QString expression = ResultSortExpression(fieldName);
    if (expression.isEmpty())
        return QString();
    QString order = expression + (descending ? QStringLiteral(" desc") : QString());
    const QString id = QStringLiteral("t_o.ID_THIS");
    if (expression != id)
        order += QStringLiteral(", ") + id;
    return order;
}

std::vector<FieldDef> ResultFieldDefs()
{
    const QString date = QStringLiteral("dd.mm.yyyy");
    return {
        {QStringLiteral("NUMPP"), FieldKind::Integer, QStringLiteral("Nп/п"), 3, false},
        {QStringLiteral("TYPE_NAME"), FieldKind::Text, QStringLiteral("Тип"), 20, true, 200},
        {QStringLiteral("NAME_MAX"), FieldKind::Text, QStringLiteral("Наименование"), 32, true, 200},
        {QStringLiteral("DATE_1"), FieldKind::DateTime, QStringLiteral("Дата нач."), 10, true, 0, date},
        {QStringLiteral("TIME_1"), FieldKind::Text, QStringLiteral("Время"), 8, true, 8},
        {QStringLiteral("DATE_2"), FieldKind::DateTime, QStringLiteral("Дата кон."), 10, true, 0, date},
        {QStringLiteral("TIME_2"), FieldKind::Text, QStringLiteral("Время"), 8, true, 8},
        {QStringLiteral("NOTE"), FieldKind::Text, QStringLiteral("Примечание"), 20, true, 200},
        {QStringLiteral("PARENT_NAME"), FieldKind::Text, QStringLiteral("Родитель"), 32, true, 200},
        {QStringLiteral("ID_THIS"), FieldKind::Text, QStringLiteral("ID-объекта"), 10, true, 40},
        {QStringLiteral("MNEMO_CODE"), FieldKind::Text, QStringLiteral("Мнемо-Имя"), 10, true, 32},
        {QStringLiteral("INFO"), FieldKind::Memo, QStringLiteral("Детально"), 3},
        {QStringLiteral("ID_TYPE"), FieldKind::Text, QStringLiteral("ID-типа"), 10, true, 40},
        {QStringLiteral("ITS_BASE"), FieldKind::Integer, QStringLiteral("Признак: Базовый-Ссылочный"), 3, true, 0,
         QString(), Qt::AlignHCenter},
        {QStringLiteral("ITS_GLOBAL"), FieldKind::Integer, QStringLiteral("Признак глобальности"), 3, true, 0,
         QString(), Qt::AlignHCenter},
        {QStringLiteral("ID_REF_NEAR"), FieldKind::Text, QStringLiteral("ID ближайшей ссылки"), 10, true, 40},
        {QStringLiteral("ID_REF"), FieldKind::Text, QStringLiteral("ID ссылки на базовый"), 10, true, 40},
        {QStringLiteral("ID_PARENT"), FieldKind::Text, QStringLiteral("ID-родителя"), 10, true, 40},
        {QStringLiteral("ID_KIND"), FieldKind::Integer, QStringLiteral("ID-вида"), 3, true, 0, QString(),
         Qt::AlignHCenter},
        {QStringLiteral("ITS_ABSTRACT"), FieldKind::Integer, QStringLiteral("Признак абстрактности"), 3, true, 0,
         QString(), Qt::AlignHCenter},
        {QStringLiteral("ID_GRP"), FieldKind::Text, QStringLiteral("ID-группы(справочник)"), 10, true, 40},
    };
}
