#include "literal_analysis.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "system.h"
#include "window_averager.h"

LiteralMatrix literalAllocate(int R, int C) {
    LiteralMatrix matrix;
    matrix.R = R;
    matrix.C = C;
    matrix.rows = (double**)std::malloc(sizeof(double*) * (R > 0 ? R : 1));
    for (int i = 0; i < R; i++)
        matrix.rows[i] = (double*)std::calloc(C > 0 ? C : 1, sizeof(double));
    return matrix;
}

void literalFree(LiteralMatrix* matrix) {
    if (!matrix->rows) return;
    for (int i = 0; i < matrix->R; i++) std::free(matrix->rows[i]);
    std::free(matrix->rows);
    matrix->rows = NULL;
}

int literalLoad(const char* path, LiteralMatrix* matrix) {
    matrix->rows = NULL;
    matrix->R = 0;
    matrix->C = 0;
    FILE* file = openFile(path, "r");
    if (!file) return 0;

    // Counting pass, one character at a time.
    int n = 0, R = 0, C = 0;
    int inValue = 0, lineHasValue = 0, firstLine = 1, columnError = 0;
    for (;;) {
        int c = std::fgetc(file);
        if (c == 0) break;
        if (c == '\n' || c == EOF) {
            if (lineHasValue) {
                if (firstLine) {
                    C = n;
                    firstLine = 0;
                } else if (n != C) {
                    columnError = 1;
                    break;
                }
                R = R + 1;
                n = 0;
                lineHasValue = 0;
            }
            inValue = 0;
            if (c == EOF) break;
        } else if (std::isspace(c)) {
            inValue = 0;
        } else {
            if (!inValue) {
                n = n + 1;
                inValue = 1;
            }
            lineHasValue = 1;
        }
    }
    matrix->R = R;
    matrix->C = C;
    if (columnError) {
        std::fclose(file);
        return 0;
    }

    // Reading pass.
    *matrix = literalAllocate(R, C);
    std::rewind(file);
    double value = 0.0;
    for (int i = 0; i < R; i++) {
        for (int j = 0; j < C; j++) {
            if (std::fscanf(file, "%lf\t", &value) != 1) {
                std::fclose(file);
                literalFree(matrix);
                return 0;
            }
            matrix->rows[i][j] = value;
        }
    }
    std::fclose(file);
    return 1;
}

void literalNormalise(LiteralMatrix* matrix) {
    int R = matrix->R, C = matrix->C;
    if (R <= 0 || C <= 0) return;
    double lo = 2147483647.0, hi = -2147483647.0;
    for (int i = 0; i < R; i++) {
        for (int j = 0; j < C; j++) {
            double x = matrix->rows[i][j];
            if (x > hi) hi = x;
            if (x < lo) lo = x;
        }
    }
    for (int i = 0; i < R; i++) {
        for (int j = 0; j < C; j++) {
            if (hi - lo == 0.0)
                matrix->rows[i][j] = 0.0;
            else
                matrix->rows[i][j] = ((matrix->rows[i][j] - lo) / (hi - lo)) * 2 - 1;
        }
    }
}

static int literalRoundHalfDown(double x) {
    double t = std::trunc(x);
    return (int)(x - t > 0.5 ? t + 1 : t);
}

static int literalOffset(int s, double shift) {
    int offset = literalRoundHalfDown((double)s * shift);
    if (shift == 1.0) offset = offset - 1;
    if (offset > s - 1) offset = s - 1;
    if (offset < 0) offset = 0;
    return offset;
}

void literalGeometry(int area, double nShift, double mShift, int* s, int* F, int* G) {
    *s = (int)std::sqrt((double)area);
    *F = literalOffset(*s, nShift);
    *G = literalOffset(*s, mShift);
}

void literalSurface(LiteralMatrix* surface, const LiteralMatrix* data, int s, int F, int G,
                    int optimise) {
    for (int i = 0; i < data->R; i++)
        for (int j = 0; j < data->C; j++) surface->rows[i][j] = 0.0;
    WindowAverager averager(data->rows, data->R, data->C, s, F, G);
    computeSurface(surface->rows, averager, optimise);
}

double literalResidual(const LiteralMatrix* surface, const LiteralMatrix* data, int s, int F,
                       int G) {
    double sum = 0.0;
    int blockRows = data->R - s, blockColumns = data->C - s;
    if (blockRows <= 0 || blockColumns <= 0) return sum;
    int top = s - F - 1, left = s - G - 1;
    for (int i = top; i < top + blockRows; i++) {
        for (int j = left; j < left + blockColumns; j++) {
            double difference = surface->rows[i][j] - data->rows[i][j];
            sum = sum + difference * difference;
        }
    }
    return sum;
}

int literalWriteSurface(const char* path, const LiteralMatrix* surface) {
    FILE* file = openFile(path, "w");
    if (!file) return 0;
    for (int i = 0; i < surface->R; i++) {
        for (int j = 0; j < surface->C; j++) std::fprintf(file, "%.*f\t", 20, surface->rows[i][j]);
        std::fprintf(file, "\n");
    }
    std::fprintf(file, "\n");
    return std::fclose(file) == 0;
}

int literalRun(const char* inputPath, const LiteralRunSettings* settings) {
    LiteralMatrix data;
    if (!literalLoad(inputPath, &data)) return 0;
    if (settings->normalise == 1) literalNormalise(&data);
    LiteralMatrix surface = literalAllocate(data.R, data.C);

    std::size_t nameSize = std::strlen(inputPath) + 64;
    char* resultsName = (char*)std::malloc(nameSize);
    char* surfaceName = (char*)std::malloc(nameSize);
    std::snprintf(resultsName, nameSize, "%s.out.txt", inputPath);
    int ok = 0;
    FILE* results = openFile(resultsName, "w");
    if (results && std::fclose(results) == 0) {
        ok = 1;
        for (int k = 0; k < settings->areaCount && ok; k++) {
            int area = settings->areas[k];
            int s, F, G;
            literalGeometry(area, settings->nShift, settings->mShift, &s, &F, &G);
            literalSurface(&surface, &data, s, F, G, settings->optimise);
            if (settings->generateSurfaces == 1) {
                std::snprintf(surfaceName, nameSize,
                              settings->optimise ? "%s.%d.out.txt" : "%s.%d.out.no_opt.txt",
                              inputPath, area);
                if (!literalWriteSurface(surfaceName, &surface)) ok = 0;
            }
            double residual = literalResidual(&surface, &data, s, F, G);
            results = ok ? openFile(resultsName, "a") : NULL;
            if (!results) {
                ok = 0;
            } else {
                std::fprintf(results, "%d\t%.*lf\n", area, settings->outputPrecision, residual);
                if (std::fclose(results) != 0) ok = 0;
            }
        }
    }
    std::free(resultsName);
    std::free(surfaceName);
    literalFree(&surface);
    literalFree(&data);
    return ok;
}
