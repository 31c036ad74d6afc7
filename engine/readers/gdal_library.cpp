#include "gdal_library.h"

#include <dlfcn.h>

#include <mutex>

namespace {

// Fills the table, or says what is missing.
bool load(GdalLibrary& library, std::string& why) {
    void* handle = dlopen(VANTREL_GDAL_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        why = dlerror();
        return false;
    }
#define VANTREL_GDAL_LOOKUP(name)                                                  \
    library.name = reinterpret_cast<decltype(library.name)>(dlsym(handle, #name)); \
    if (!library.name) {                                                           \
        why = std::string(VANTREL_GDAL_SONAME) + " has no function " #name;        \
        return false;                                                              \
    }
    VANTREL_GDAL_FUNCTIONS(VANTREL_GDAL_LOOKUP)
#undef VANTREL_GDAL_LOOKUP
    library.GDALAllRegister();
    return true;
}

}  // namespace

const GdalLibrary* gdalLibrary(std::string& why) {
    static GdalLibrary library;
    static std::string failure;
    static bool loaded = false;
    static std::once_flag once;
    std::call_once(once, [] { loaded = load(library, failure); });
    why = failure;
    return loaded ? &library : nullptr;
}
