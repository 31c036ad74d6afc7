#pragma once

#include <windows.h>

#include "plot_scene.h"

// Draws the scene's marks with GDI on `dc`, `scale` pixels a point, its top-left corner at
// (left, top): the same marks that the cairo files and the desktop backend draw.
void drawSceneGdi(HDC dc, const PlotScene& scene, double scale, int left, int top);
