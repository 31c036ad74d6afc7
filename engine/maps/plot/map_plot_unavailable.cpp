// drawMapPlot for builds without cairo (the Windows programs).

#include "map_plot.h"

bool drawMapPlot(const std::vector<HurstMap>&, const MapScale&, const std::string& path,
                 std::string& error) {
    error = "Cannot draw " + path + ": this build of Vantrel was made without cairo";
    return false;
}
