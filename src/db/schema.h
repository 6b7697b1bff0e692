#pragma once
// Names and constants of the object store as the program reads it.

#include <QString>

namespace Schema {

// The longest identifier and mnemonic code the store's columns hold: a
// longer text names nothing (and the engine refuses it as an index key).
constexpr int ID_LENGTH = 40;
constexpr int MNEMO_LENGTH = 32;
// The identifier that names nothing.
inline const QString NO_ID = QStringLiteral("0");
// ID_KIND of an object type.
constexpr int KIND_OBJECT = 1;
constexpr int KIND_PROCESS = 2;
// Every ancestor's identifier stands in PARENTS_ID between these two.
inline const QString PARENTS_ID_OPEN = QStringLiteral("[");
inline const QString PARENTS_ID_CLOSE = QStringLiteral("]");

// Objects and their numeric property values.
inline const QString OBJECTS_TREE = QStringLiteral("OBJECTS_TREE");
inline const QString OBJECTS_PROP_NUMBER = QStringLiteral("OBJECTS_PROP_NUMBER");

// Catalog levels: sections, macro-groups, groups, entries (and values).
inline const QString L_TYPEOBJ_TOP = QStringLiteral("L_TYPEOBJ_TOP");
inline const QString L_TYPEOBJ_MACRO = QStringLiteral("L_TYPEOBJ_MACRO");
inline const QString L_TYPEOBJ_GRP = QStringLiteral("L_TYPEOBJ_GRP");
inline const QString L_TYPEOBJ_LIST = QStringLiteral("L_TYPEOBJ_LIST");
inline const QString L_PROPNUMBER_TOP = QStringLiteral("L_PROPNUMBER_TOP");
inline const QString L_PROPNUMBER_MACRO = QStringLiteral("L_PROPNUMBER_MACRO");
inline const QString L_PROPNUMBER_GRP = QStringLiteral("L_PROPNUMBER_GRP");
inline const QString L_PROPNUMBER_LIST = QStringLiteral("L_PROPNUMBER_LIST");
inline const QString L_PROPENUM_TOP = QStringLiteral("L_PROPENUM_TOP");
inline const QString L_PROPENUM_MACRO = QStringLiteral("L_PROPENUM_MACRO");
inline const QString L_PROPENUM_GRP = QStringLiteral("L_PROPENUM_GRP");
inline const QString L_PROPENUM_LIST = QStringLiteral("L_PROPENUM_LIST");
inline const QString L_PROPENUM_VAL = QStringLiteral("L_PROPENUM_VAL");

// Columns (NAME_MAX is taken by the system headers, hence the prefix).
inline const QString FLD_ID_THIS = QStringLiteral("ID_THIS");
inline const QString FLD_ID_GRP = QStringLiteral("ID_GRP");
inline const QString FLD_ID_TYPE = QStringLiteral("ID_TYPE");
inline const QString FLD_ID_PARENT = QStringLiteral("ID_PARENT");
inline const QString FLD_PARENTS_ID = QStringLiteral("PARENTS_ID");
inline const QString FLD_ID_KIND = QStringLiteral("ID_KIND");
inline const QString FLD_ID_REF = QStringLiteral("ID_REF");
inline const QString FLD_ID_REF_NEAR = QStringLiteral("ID_REF_NEAR");
inline const QString FLD_ID_UNITMEASURE = QStringLiteral("ID_UNITMEASURE");
inline const QString FLD_ID_OWNER = QStringLiteral("ID_OWNER");
inline const QString FLD_ID_PROP = QStringLiteral("ID_PROP");
inline const QString FLD_PROP_VAL = QStringLiteral("PROP_VAL");
inline const QString FLD_NUMPP = QStringLiteral("NUMPP");
inline const QString FLD_NAME_MAX = QStringLiteral("NAME_MAX");
inline const QString FLD_NAME_MIN = QStringLiteral("NAME_MIN");
inline const QString FLD_NOTE = QStringLiteral("NOTE");
inline const QString FLD_MNEMO_CODE = QStringLiteral("MNEMO_CODE");
inline const QString FLD_INFO = QStringLiteral("INFO");
inline const QString FLD_DATE_1 = QStringLiteral("DATE_1");
inline const QString FLD_TIME_1 = QStringLiteral("TIME_1");
inline const QString FLD_DATE_2 = QStringLiteral("DATE_2");
inline const QString FLD_TIME_2 = QStringLiteral("TIME_2");
inline const QString FLD_ITS_BASE = QStringLiteral("ITS_BASE");
inline const QString FLD_ITS_GLOBAL = QStringLiteral("ITS_GLOBAL");
inline const QString FLD_ITS_ABSTRACT = QStringLiteral("ITS_ABSTRACT");
inline const QString FLD_PRECIS = QStringLiteral("PRECIS");

} // namespace Schema
