#pragma once

#include <string>

#include "plot_scene.h"

// The scene as an SVG document whose texts are <text> elements in a sans-serif face, so that
// an editor can change them and any SVG reader shows them without the fonts having been
// traced. Sizes are in points; the same scene gives the same bytes.
std::string sceneSvg(const PlotScene& scene);
