#pragma once

#include <string>

#include "data_matrix.h"
#include "surface_file.h"

// Loads the surface file a command was given, in any format the run reads, with no questions
// asked. What the reader says on success (the rectangle --crop-valid kept) goes to standard
// error as one line; on failure `error` is "Cannot load the surface FILE" with the reason where
// the reader gave one. Throws as loadSurfaceFile does.
bool loadCommandSurface(const std::string& file, const ReadOptions& read, DataMatrix& data,
                        SurfaceUnits& units, std::string& error);
