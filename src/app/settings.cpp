#include "app/settings.h"

#include "support/codec_1251.h"
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
    DatabaseEntry entry = DefaultDatabaseEntry(QString());
    const auto values = IniReadSection(file, kSection);
    if (!values)
        return entry;
    for (const Key &k : kKeys) {
        const auto it = values->constFind(QString::fromLatin1(k.name).toUpper());
        if (it != values->cend())
            entry.*k.field = Trim(*it);
    }
    return entry;
}

void SaveCurrentDb(const QString &startupDir, const DatabaseEntry &entry)
{
    QList<std::pair<QString, QString>> values;
    for (const Key &k : kKeys)
        values.append({QString::fromLatin1(k.name), entry.*k.field});
    IniWriteSection(startupDir + AppFiles::Settings, kSection, values, true);
}

bool CanRememberEntry(const DatabaseEntry &entry)
{
    for (const Key &k : kKeys)
        if (!Cp1251::canEncode(entry.*k.field))
            return false;
    return true;
}

bool IsDefaultDatabase(const QString &startupDir, const DatabaseEntry &entry)
{
    return Trim(entry.FullFileNameGDB).toUpper() == (startupDir + AppFiles::DefaultDb).toUpper();
}

QString ConnectionPath(const QString &fullFileName)
{
    return fullFileName;
}
