#pragma once

// The analysis written down literally, in plain C style: one thread, the C library's buffered
// files, fgetc for the counting pass, fscanf("%lf\t") for the reading pass, fprintf for the output
// files, and every sum in the order the window averager's comments give. It is the yardstick of
// `make bench` and the byte-for-byte reference of the tests in tests/perf.
//
// It follows the engine's own choices where the format leaves room: offsets clamped into
// 0 ... s-1, the residual block starting where the computed region starts, a flat matrix
// normalised to zeros. It asks nothing and shows nothing: a file that cannot be opened, rows of
// different lengths and output files that cannot be written are failures.

// A row table with its counts.
struct LiteralMatrix {
    double** rows;
    int R;
    int C;
};

// Two passes over the file. Returns 1 with the matrix filled, 0 (and no storage) on failure.
int literalLoad(const char* path, LiteralMatrix* matrix);
// An R x C matrix of zeros.
LiteralMatrix literalAllocate(int R, int C);
void literalFree(LiteralMatrix* matrix);
void literalNormalise(LiteralMatrix* matrix);

// Side s and offsets F, G of an area.
void literalGeometry(int area, double nShift, double mShift, int* s, int* F, int* G);
// Zeroes the surface, then fills its computed region in plain (optimise 0) or sliding
// (optimise 1) mode.
void literalSurface(LiteralMatrix* surface, const LiteralMatrix* data, int s, int F, int G,
                    int optimise);
// Sum of (S - M)^2 over the (R - s) x (C - s) block at the start of the computed region.
double literalResidual(const LiteralMatrix* surface, const LiteralMatrix* data, int s, int F,
                       int G);
// Every value with fprintf("%.*f\t", 20, v), "\n" after each row and at the end. 1 on success.
int literalWriteSurface(const char* path, const LiteralMatrix* surface);

// What a run needs beyond the input file.
struct LiteralRunSettings {
    const int* areas;
    int areaCount;
    double nShift;
    double mShift;
    int generateSurfaces;
    int optimise;
    int outputPrecision;
    int normalise;
};

// The whole run: load, normalise if asked, then per area the surface, its file if asked
// (P.area.out.txt or P.area.out.no_opt.txt) and a line "%d\t%.*lf\n" appended to P.out.txt.
// Returns 1 when every area was written.
int literalRun(const char* inputPath, const LiteralRunSettings* settings);
