#include "map_summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::string mapSummary(const std::vector<HurstMap>& maps, const std::string& file) {
    const HurstMap& map = maps.front();
    const MapLayout& layout = map.layout;
    char line[256];
    std::snprintf(line, sizeof line,
                  "%s: %d x %d\nTiles %d x %d cells every %d cells: %d x %d tiles, sides %d to "
                  "%d\n",
                  file.c_str(), layout.rows, layout.columns, layout.tile, layout.tile,
                  layout.stride, layout.tileRows, layout.tileColumns, map.sides.front(),
                  map.sides.back());
    std::string text = line;
    for (const HurstMap& each : maps) {
        std::vector<double> values;
        int flagged = 0;
        for (std::size_t t = 0; t < each.hurst.size(); ++t) {
            if (std::isfinite(each.hurst[t])) values.push_back(each.hurst[t]);
            flagged += each.flags[t] != 0;
        }
        const char* name = each.axis == WindowAxis::kAlongRows      ? "H along rows"
                           : each.axis == WindowAxis::kAlongColumns ? "H along columns"
                                                                    : "H";
        if (values.empty()) {
            std::snprintf(line, sizeof line, "%s: no tile has a value; %d flagged\n", name,
                          flagged);
        } else {
            std::sort(values.begin(), values.end());
            std::snprintf(line, sizeof line,
                          "%s: median %.3f, from %.3f to %.3f over %zu tiles; %d flagged\n", name,
                          values[values.size() / 2], values.front(), values.back(), values.size(),
                          flagged);
        }
        text += line;
    }
    return text;
}

int tilesWithValue(const HurstMap& map) {
    return static_cast<int>(std::count_if(map.hurst.begin(), map.hurst.end(),
                                          [](double h) { return std::isfinite(h); }));
}
