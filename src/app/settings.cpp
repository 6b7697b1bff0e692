#include "app/settings.h"

#include "support/files.h"
#include "support/str_utils.h"

namespace {

const QString kSection = QStringLiteral("DB_CURRENT");

struct Key {
    const char *name;
    QString DatabaseEntry::*field;
    const char *defaultValue;
};

const Key kKeys[] = {
    {"About_DB", &DatabaseEntry::About_DB, "VRKX_DB_01.GDB"},
    {"AliasBDE5_DB", &DatabaseEntry::AliasBDE5, "VRKX_DB_001"},
    {"FullFileNameGDB", &DatabaseEntry::FullFileNameGDB, "VRKX_DB_01.GDB"},
    {"USER_NAME", &DatabaseEntry::USER_NAME, "VeldaRunKX"},
    {"PASSWORD", &DatabaseEntry::PASSWORD, "qzmt"},
};

} // namespace

DatabaseEntry DefaultDatabaseEntry(const QString &startupDir)
{
    return {QStringLiteral("VRKX_DB_01.GDB"), QStringLiteral("VRKX_DB_001"), startupDir + AppFiles::DefaultDb,
            QStringLiteral("VeldaRunKX"), QStringLiteral("qzmt")};
}

DatabaseEntry ReadCurrentDb(const QString &startupDir)
{
    const QString file = startupDir + AppFiles::Settings;
    DatabaseEntry entry;
    for (const Key &k : kKeys)
        entry.*k.field = IniReadString(file, kSection, QString::fromLatin1(k.name), QString::fromUtf8(k.defaultValue), true);
    return entry;
}

void SaveCurrentDb(const QString &startupDir, const DatabaseEntry &entry)
{
    const QString file = startupDir + AppFiles::Settings;
    for (const Key &k : kKeys)
        IniWriteString(file, kSection, QString::fromLatin1(k.name), entry.*k.field, true);
}

bool IsDefaultDatabase(const QString &startupDir, const DatabaseEntry &entry)
{
    return Trim(entry.FullFileNameGDB).toUpper() == (startupDir + AppFiles::DefaultDb).toUpper();
}

QString ConnectionPath(const QString &fullFileName)
{
    return fullFileName;
}
