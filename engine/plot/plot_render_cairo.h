#pragma once

#include "plot_scene.h"

typedef struct _cairo cairo_t;  // as cairo.h declares it

// Draws the scene's marks on `cairo`, one point of the scene to `scale` units of the surface.
void drawSceneWithCairo(cairo_t* cairo, const PlotScene& scene, double scale);
