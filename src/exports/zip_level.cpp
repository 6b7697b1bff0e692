#include "exports/zip_level.h"

#include "exports/save_watch.h"

#include <xlsxwriter.h>

#include <atomic>
#include <dlfcn.h>

namespace {

constexpr char kCall[] = "zipOpenNewFileInZip4_64";
constexpr char kWriteCall[] = "zipWriteInFileInZip";

std::atomic<int> fastLevels{0};
thread_local SaveWatch *zipWatch = nullptr;

using ZipWrite = int (*)(void *, const void *, unsigned);

using ZipOpen = int (*)(void *, const char *, const void *, const void *, unsigned, const void *, unsigned,
                        const char *, int, int, int, int, int, int, const char *, unsigned long, unsigned long,
                        unsigned long, int);

struct Found {
    ZipOpen call = nullptr;
    ZipWrite write = nullptr;
    QString reason;
};

const Found &minizip()
{
    static const Found found = [] {
        Found f;
        f.call = reinterpret_cast<ZipOpen>(FindMinizipCall(NextDefinition, WorkbookLibrarySymbol, &f.reason));
        if (f.call)
            f.write = reinterpret_cast<ZipWrite>(
                FindMinizipFunction(kWriteCall, NextDefinition, WorkbookLibrarySymbol, &f.reason));
        return f;
    }();
    return found;
}

QString dlReason()
{
    const char *e = dlerror();
    return e ? QString::fromLocal8Bit(e) : QStringLiteral("символ не найден");
}

} // namespace

FastZipLevel::FastZipLevel()
{
    ++fastLevels;
}

FastZipLevel::~FastZipLevel()
{
    --fastLevels;
}

ZipWatch::ZipWatch(SaveWatch *watch) : previous_(zipWatch)
{
    zipWatch = watch;
}

ZipWatch::~ZipWatch()
{
    zipWatch = previous_;
}

void *NextDefinition(const char *name)
{
    return dlsym(RTLD_NEXT, name);
}

void *WorkbookLibrarySymbol(const char *name)
{
    // The scope of the library that writes workbooks holds the library it
    // compresses with; the program's own definition is not in it.
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void *>(&workbook_new_opt), &info) || !info.dli_fname)
        return nullptr;
    void *library = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    if (!library)
        return nullptr;
    void *symbol = dlsym(library, name);
    dlclose(library);
    return symbol;
}

void *FindMinizipFunction(const char *name, SymbolLookup next, SymbolLookup inLibrary, QString *reason)
{
    dlerror();
    if (void *call = next(name))
        return call;
    const QString nextReason = dlReason();
    if (void *call = inLibrary(name))
        return call;
    if (reason)
        *reason = QStringLiteral("не найдена функция %1 библиотеки minizip, которой книга сжимается (%2)")
                      .arg(QLatin1String(name), nextReason);
    return nullptr;
}

void *FindMinizipCall(SymbolLookup next, SymbolLookup inLibrary, QString *reason)
{
    return FindMinizipFunction(kCall, next, inLibrary, reason);
}

bool MinizipCallFound(QString *reason)
{
    if (reason)
        *reason = minizip().reason;
    return minizip().call != nullptr && minizip().write != nullptr;
}

extern "C" int zipOpenNewFileInZip4_64(void *file, const char *filename, const void *zipfi, const void *extraLocal,
                                       unsigned sizeExtraLocal, const void *extraGlobal, unsigned sizeExtraGlobal,
                                       const char *comment, int method, int level, int raw, int windowBits,
                                       int memLevel, int strategy, const char *password, unsigned long crcForCrypting,
                                       unsigned long versionMadeBy, unsigned long flagBase, int zip64)
{
    const ZipOpen next = minizip().call;
    if (!next)
        return -102; // ZIP_PARAMERROR; a workbook is refused at its start before it comes to this
    if (fastLevels > 0 && level == -1 /* Z_DEFAULT_COMPRESSION */)
        level = 1;
    return next(file, filename, zipfi, extraLocal, sizeExtraLocal, extraGlobal, sizeExtraGlobal, comment, method, level,
                raw, windowBits, memLevel, strategy, password, crcForCrypting, versionMadeBy, flagBase, zip64);
}

extern "C" int zipWriteInFileInZip(void *file, const void *buf, unsigned len)
{
    const ZipWrite next = minizip().write;
    if (!next)
        return -102; // ZIP_PARAMERROR, as above
    SaveWatch *watch = zipWatch;
    if (watch && watch->stop)
        return -1; // ZIP_ERRNO: the archive is given up
    const int rc = next(file, buf, len);
    if (watch && rc == 0)
        watch->advance(len);
    return rc;
}
