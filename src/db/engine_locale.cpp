#include "db/engine_locale.h"

#include <clocale>
#include <initializer_list>
#include <langinfo.h>
#include <strings.h>

namespace {

bool utf8Ctype()
{
    const char *codeset = ::nl_langinfo(CODESET);
    return codeset && (::strcasecmp(codeset, "UTF-8") == 0 || ::strcasecmp(codeset, "utf8") == 0);
}

} // namespace

bool PrepareEngineFileNames()
{
    if (utf8Ctype())
        return true;
    for (const char *name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
        if (std::setlocale(LC_CTYPE, name))
            return utf8Ctype();
    return false;
}
