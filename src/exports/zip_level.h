#pragma once
// libxlsxwriter compresses a workbook's parts through minizip at zlib's
// default level, which for a sheet of a million rows takes about as long as
// writing all its rows. The program defines minizip's call that opens a part
// (zipOpenNewFileInZip4_64) itself: the dynamic linker prefers the program's
// definition. While a FastZipLevel lives, the parts are deflated at the
// fastest level; the call is then handed on to minizip's own definition. The
// file comes out about a fifth larger; every reader reads it the same.

#include <QString>

struct SaveWatch;

class FastZipLevel {
public:
    FastZipLevel();
    ~FastZipLevel();
    FastZipLevel(const FastZipLevel &) = delete;
    FastZipLevel &operator=(const FastZipLevel &) = delete;
};

// While a ZipWatch lives, what this thread writes into a zip archive's parts
// (zipWriteInFileInZip, defined by the program the same way) is counted in
// the watch, and once the watch asks to stop, the writes fail: the workbook
// library then gives up the archive.
class ZipWatch {
public:
    explicit ZipWatch(SaveWatch *watch);
    ~ZipWatch();
    ZipWatch(const ZipWatch &) = delete;
    ZipWatch &operator=(const ZipWatch &) = delete;

private:
    SaveWatch *previous_;
};

// Whether minizip's definitions were found, so that parts can be written at
// all; otherwise false with the reason. Asked when a workbook is started,
// so that no export runs to its end only to fail at the save.
bool MinizipCallFound(QString *reason);

// How minizip's definition is found: the definition after the program's own
// (next), else the one the workbook library itself reaches (inLibrary).
// Null, with the reason naming the call, when neither has it. The lookups
// are dlsym(RTLD_NEXT, ...) and a lookup in libxlsxwriter's own scope; tests
// pass others.
using SymbolLookup = void *(*)(const char *name);
void *FindMinizipCall(SymbolLookup next, SymbolLookup inLibrary, QString *reason);
// The same for any call of minizip's.
void *FindMinizipFunction(const char *name, SymbolLookup next, SymbolLookup inLibrary, QString *reason);
void *NextDefinition(const char *name);
void *WorkbookLibrarySymbol(const char *name);
