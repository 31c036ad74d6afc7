#pragma once

#include <string>

#include "data_matrix.h"
#include "worker_pool.h"

// Names and contents of the files a run writes, all named from the input file's path P exactly
// as the settings hold it.

// P + ".out.txt".
std::string resultsFileName(const std::string& inputFile);
// P + "." + area + ".out.txt" (optimised) or ".out.no_opt.txt" (plain).
std::string surfaceFileName(const std::string& inputFile, int area, int optimise);
// P + "." + area + ".out.fast.txt": the surface of the fast method, which is not bit-exact.
std::string fastSurfaceFileName(const std::string& inputFile, int area);

// One results line, as "%d\t%.*lf\n" prints it.
std::string resultsLine(int area, double residual, int precision);

// Writes the surface file: every value as "%.*f\t" at precision 20, "\n" after each row, and
// one more "\n" at the end, formatting rows on the pool's threads when there is one. False when
// the file cannot be opened or written whole.
bool writeSurfaceFile(const std::string& path, const double* const* surface, int R, int C,
                      WorkerPool* pool = nullptr);

// Creates (or empties) the file. False when it cannot be.
bool createEmptyFile(const std::string& path);
// Appends text to the file. False when it cannot be opened or the text is not written whole.
bool appendToFile(const std::string& path, const std::string& text);
