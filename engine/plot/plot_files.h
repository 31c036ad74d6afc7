#pragma once

#include <optional>
#include <string>

#include "plot_scene.h"

// A plot scene as a file: SVG from our own writer (texts stay texts), PNG and PDF through cairo
// where the build has it. The Windows programs are built without cairo: they write SVG here and
// PNG through the platform's drawing (plotFormatAvailable says which).

enum class PlotFormat { kSvg, kPng, kPdf };

// The format a file name asks for by its ending (.svg, .png, .pdf, in any case), or nothing.
std::optional<PlotFormat> plotFormatOf(const std::string& path);

// Whether this build renders the format itself.
bool plotFormatAvailable(PlotFormat format);

// The file's bytes; a PNG has dpi / 72 pixels a point. Nothing when the format is not available
// or cairo fails.
std::optional<std::string> renderPlot(const PlotScene& scene, PlotFormat format, double dpi);

// Writes the scene to `path` in the format its ending names. The same scene gives the same
// bytes. Returns false with `error` set ("Error writing to PATH", or why the format cannot be
// drawn) when it cannot.
bool writePlotFile(const PlotScene& scene, const std::string& path, double dpi, std::string& error);

// Writes bytes to a file through the system seam (a complete file or none); false when it
// cannot be written whole.
bool writeBytesFile(const std::string& path, const std::string& bytes);
