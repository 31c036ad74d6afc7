#pragma once

#include <functional>
#include <optional>
#include <string>

#include "plot_scene.h"

class Platform;

// What a plot window shows and offers: the plot's marks, drawn by the platform itself, the
// summary under it, and three buttons: "Save plot..." (a save dialog, then `save`), "Copy" (the
// copy text to the clipboard) and "Close".
struct PlotWindowRequest {
    std::string title;  // the window's caption
    PlotScene scene;
    std::string summary;
    std::string copyText;
    // The file dialog's filter, "SVG image (*.svg)|*.svg|...||", its first entry the default.
    std::string saveFilter;
    // Writes the plot to the path the user chose: nothing when written, else why not.
    std::function<std::optional<std::string>(const std::string& path)> save;
};

// The "Save plot..." button: asks for a file with the request's filter (the format from the
// chosen entry's ending when the name has none), writes it, and shows a message if it failed.
void savePlotAs(Platform& platform, const PlotWindowRequest& request);
