#pragma once

#include <string>
#include <vector>

#include "hurst_map.h"

// What a map holds in a few lines, as `vantrel-cli map` prints it and the dialog shows it: the
// surface's size, the tiles and sides, then per map the median and range of the tiles' values
// and how many tiles are flagged.
std::string mapSummary(const std::vector<HurstMap>& maps, const std::string& file);

// How many tiles of the map have a value.
int tilesWithValue(const HurstMap& map);
