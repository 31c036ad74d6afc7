#include "shared_sides.h"

#include <map>

#include "window_geometry.h"

std::vector<std::string> sharedSideNotes(const std::vector<std::pair<int, double>>& areaResiduals) {
    std::map<int, std::vector<int>> areasOfSide;
    std::vector<int> order;
    for (const auto& [area, residual] : areaResiduals) {
        const int side = windowGeometry(area, 0.5, 0.5).side;
        std::vector<int>& areas = areasOfSide[side];
        if (areas.empty()) order.push_back(side);
        areas.push_back(area);
    }
    std::vector<std::string> notes;
    for (int side : order) {
        const std::vector<int>& areas = areasOfSide[side];
        if (areas.size() < 2) continue;
        std::string list;
        for (std::size_t k = 0; k < areas.size(); ++k)
            list += (k == 0                  ? ""
                     : k + 1 == areas.size() ? " and "
                                             : ", ") +
                    std::to_string(areas[k]);
        const std::string s = std::to_string(side);
        notes.push_back("Areas " + list + (areas.size() == 2 ? " both" : " all") + " give side " +
                        s + ": the point of side " + s + " is area " +
                        std::to_string(areas.front()) + "'s");
    }
    return notes;
}
