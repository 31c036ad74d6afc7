#pragma once

#include <optional>
#include <string>
#include <vector>

#include "plot_scene.h"

class Platform;

// What the plot windows' "Save plot..." offers and does, the same for every plot the dialog
// shows.

// The formats the plot can be saved in: those the build draws itself, and PNG where the
// platform draws it. SVG first, the default.
std::string plotSaveFilter(Platform& platform);

// Writes the scene to `path` through the file seam, unless `path` is one of `inputs` (the files
// the plot was made from); nothing when written, else the message for the user.
std::optional<std::string> savePlotScene(Platform& platform, const PlotScene& scene,
                                         const std::string& path,
                                         const std::vector<std::string>& inputs);
