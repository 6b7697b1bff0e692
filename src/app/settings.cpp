#include "app/settings.h"

#include "support/files.h"
#include "support/str_utils.h"

namespace {

const QString kSection = QStringLiteral("DB_CURRENT");

struct Key {
    const char *name;
    QString DatabaseEntry::*field;
};

const Key kKeys[] = {
    {"About_DB", &DatabaseEntry::About_DB},
    {"AliasBDE5_DB", &DatabaseEntry::AliasBDE5},
    {"FullFileNameGDB", &DatabaseEntry::FullFileNameGDB},
    {"USER_NAME", &DatabaseEntry::USER_NAME},
    {"PASSWORD", &DatabaseEntry::PASSWORD},
};

} // namespace

DatabaseEntry DefaultDatabaseEntry(const QString &startupDir)
{
    return {AppFiles::DefaultDb, QStringLiteral("VRKX_DB_001"), startupDir + AppFiles::DefaultDb, kDefaultUserName,
            kDefaultPassword};
}

DatabaseEntry ReadCurrentDb(const QString &startupDir)
{
    const QString file = startupDir + AppFiles::Settings;
    // A missing key reads as the default entry's value, with the bare file name.
    const DatabaseEntry defaults = DefaultDatabaseEntry(QString());
    DatabaseEntry entry;
    for (const Key &k : kKeys)
        entry.*k.field = IniReadString(file, kSection, QString::fromLatin1(k.name), defaults.*k.field, true);
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
