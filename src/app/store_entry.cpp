#include "app/store_entry.h"

#include "app/command_line.h"
#include "app/settings.h"
#include "db/database_list.h"
#include "support/files.h"
#include "support/grid_layout_file.h"
#include "support/str_utils.h"

#include <QFileInfo>

DatabaseEntry EntryForStore(const QString &store, const QString &startupDir, const QString &workingDir)
{
    const auto names = [&](const DatabaseEntry &entry) {
        const QString path = Trim(entry.FullFileNameGDB);
        return !path.isEmpty() && StoreArgument(path, workingDir) == store;
    };
    const QString listFile = startupDir + AppFiles::DatabaseList;
    if (FileExists(listFile)) {
        if (const auto layout = ReadGridLayoutFile(listFile)) {
            for (const DatabaseEntry &entry : DatabaseListEntries(*layout))
                if (names(entry))
                    return {entry.About_DB, entry.AliasBDE5, store, entry.USER_NAME, entry.PASSWORD};
        }
    }
    const DatabaseEntry remembered = ReadCurrentDb(startupDir);
    if (FileExists(startupDir + AppFiles::Settings) && names(remembered))
        return {remembered.About_DB, remembered.AliasBDE5, store, remembered.USER_NAME, remembered.PASSWORD};
    return {QFileInfo(store).fileName(), QString(), store, kDefaultUserName, kDefaultPassword};
}
