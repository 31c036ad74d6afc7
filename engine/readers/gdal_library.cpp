#include "gdal_library.h"

#include <iterator>
#include <mutex>

#include "system.h"

namespace {

bool load(GdalLibrary& library, std::string& why) {
#define VANTREL_GDAL_NAME(name) #name,
    static const char* const kNames[] = {VANTREL_GDAL_FUNCTIONS(VANTREL_GDAL_NAME)};
#undef VANTREL_GDAL_NAME
    constexpr int kCount = static_cast<int>(std::size(kNames));
    void* addresses[kCount] = {};
    if (!loadSharedFunctions(VANTREL_GDAL_SONAME, kNames, addresses, kCount, why)) return false;
    int k = 0;
#define VANTREL_GDAL_TAKE(name) \
    library.name = reinterpret_cast<decltype(library.name)>(addresses[k++]);
    VANTREL_GDAL_FUNCTIONS(VANTREL_GDAL_TAKE)
#undef VANTREL_GDAL_TAKE
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
