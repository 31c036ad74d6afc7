#pragma once

#include "plot_scene.h"

class wxGraphicsContext;

// Draws the scene's marks with wxWidgets' anti-aliased graphics context, a point of the scene to
// a pixel, as the cairo files draw them.
void drawSceneWx(wxGraphicsContext& context, const PlotScene& scene);
