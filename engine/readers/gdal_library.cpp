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

std::string debianPackageOfLibrary(const std::string& soname) {
    const std::size_t so = soname.find(".so.");
    if (so == std::string::npos || so == 0) return soname;
    const std::string name = soname.substr(0, so), version = soname.substr(so + 4);
    const bool endsInDigit = name.back() >= '0' && name.back() <= '9';
    return name + (endsInDigit ? "-" : "") + version;
}

std::string gdalMissingText(const std::string& why) {
    return "GDAL, which reads rasters, cannot be loaded: " + why + " (install the Debian package " +
           debianPackageOfLibrary(VANTREL_GDAL_SONAME) + ")";
}
