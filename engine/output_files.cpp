#include "output_files.h"

#include <cstdio>

#include "number_format.h"
#include "text_file.h"

namespace {

constexpr int kSurfacePrecision = 20;
constexpr std::size_t kFlushBytes = 1u << 20;

bool writeAll(std::FILE* file, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

}  // namespace

std::string resultsFileName(const std::string& inputFile) { return inputFile + ".out.txt"; }

std::string surfaceFileName(const std::string& inputFile, int area, int optimise) {
    return inputFile + "." + std::to_string(area) + (optimise ? ".out.txt" : ".out.no_opt.txt");
}

std::string fastSurfaceFileName(const std::string& inputFile, int area) {
    return inputFile + "." + std::to_string(area) + ".out.fast.txt";
}

std::string resultsLine(int area, double residual, int precision) {
    std::string line;
    appendInt(line, area);
    line += '\t';
    appendFixed(line, residual, precision);
    line += '\n';
    return line;
}

bool writeSurfaceFile(const std::string& path, const double* const* surface, int R, int C) {
    FileCloser file(std::fopen(path.c_str(), "w"));
    if (!file.get()) return false;
    std::string text;
    text.reserve(kFlushBytes + 64);
    for (int i = 0; i < R; ++i) {
        for (int j = 0; j < C; ++j) {
            appendFixed(text, surface[i][j], kSurfacePrecision);
            text += '\t';
            if (text.size() >= kFlushBytes) {
                if (!writeAll(file.get(), text)) return false;
                text.clear();
            }
        }
        text += '\n';
    }
    text += '\n';
    return writeAll(file.get(), text) && file.close();
}

bool createEmptyFile(const std::string& path) {
    FileCloser file(std::fopen(path.c_str(), "w"));
    return file.get() && file.close();
}

bool appendToFile(const std::string& path, const std::string& text) {
    FileCloser file(std::fopen(path.c_str(), "a"));
    return file.get() && writeAll(file.get(), text) && file.close();
}
