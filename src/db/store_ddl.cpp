#include "db/store_ddl.h"

#include "db/schema.h"

namespace {

using namespace Schema;

// The catalog levels with the seven common columns only.
const QStringList kLevels = {
    L_TYPEOBJ_TOP,  L_TYPEOBJ_MACRO, L_TYPEOBJ_GRP,  L_PROPNUMBER_TOP, L_PROPNUMBER_MACRO, L_PROPNUMBER_GRP,
    L_PROPENUM_TOP, L_PROPENUM_MACRO, L_PROPENUM_GRP, L_PROPENUM_LIST, L_PROPENUM_VAL,
};

QString levelColumns()
{
    return QStringLiteral("NUMPP INTEGER, NAME_MAX VARCHAR(200), NAME_MIN VARCHAR(84), "
                          "NOTE VARCHAR(200), ID_THIS VARCHAR(40) NOT NULL PRIMARY KEY, "
                          "MNEMO_CODE VARCHAR(32), ID_GRP VARCHAR(40)");
}

} // namespace

QStringList StoreDdl()
{
    QStringList ddl;
    for (const QString &table : kLevels)
        ddl << QStringLiteral("CREATE TABLE %1 (%2)").arg(table, levelColumns());
    ddl << QStringLiteral("CREATE TABLE %1 (%2, ITS_ABSTRACT INTEGER, ID_KIND INTEGER)")
               .arg(L_TYPEOBJ_LIST, levelColumns());
    ddl << QStringLiteral("CREATE TABLE %1 (%2, ID_UNITMEASURE VARCHAR(40), PRECIS INTEGER)")
               .arg(L_PROPNUMBER_LIST, levelColumns());
    ddl << QStringLiteral(
        "CREATE TABLE %1 (ID_THIS VARCHAR(40) NOT NULL PRIMARY KEY, NUMPP INTEGER, "
        "NAME_MAX VARCHAR(200), DATE_1 DATE, TIME_1 VARCHAR(8), DATE_2 DATE, TIME_2 VARCHAR(8), "
        "NOTE VARCHAR(200), MNEMO_CODE VARCHAR(32), INFO BLOB SUB_TYPE 1, ID_TYPE VARCHAR(40), "
        "ID_PARENT VARCHAR(40), PARENTS_ID VARCHAR(4000), ITS_BASE INTEGER, ITS_GLOBAL INTEGER, "
        "ID_REF VARCHAR(40), ID_REF_NEAR VARCHAR(40))").arg(OBJECTS_TREE);
    ddl << QStringLiteral("CREATE TABLE %1 (ID_OWNER VARCHAR(40) NOT NULL, "
                          "ID_PROP VARCHAR(40) NOT NULL, PROP_VAL DOUBLE PRECISION)")
               .arg(OBJECTS_PROP_NUMBER);
    ddl << QStringLiteral("CREATE INDEX IX_%1_PARENT ON %1 (ID_PARENT)").arg(OBJECTS_TREE);
    ddl << QStringLiteral("CREATE INDEX IX_%1_TYPE ON %1 (ID_TYPE)").arg(OBJECTS_TREE);
    ddl << QStringLiteral("CREATE INDEX IX_OBJECTS_PROP_OWNER ON %1 (ID_OWNER, ID_PROP)").arg(OBJECTS_PROP_NUMBER);
    const QStringList all = kLevels + QStringList{L_TYPEOBJ_LIST, L_PROPNUMBER_LIST};
    for (const QString &table : all)
        ddl << QStringLiteral("CREATE INDEX IX_%1_GRP ON %1 (ID_GRP)").arg(table);
    // Every user may read the store; nobody but its owner may change it.
    for (const QString &table : all + QStringList{OBJECTS_TREE, OBJECTS_PROP_NUMBER})
        ddl << QStringLiteral("GRANT SELECT ON %1 TO PUBLIC").arg(table);
    return ddl;
}
