#include "resource_ids.h"
#include "resources.h"

std::string loadString(int id) {
    // The ampersand makes m the entry's access key.
    if (id == kIdsAboutBox) return "Infor&mazioni su Vantrel...";
    return {};
}
