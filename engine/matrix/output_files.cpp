#include "output_files.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "fixed20.h"
#include "number_format.h"
#include "text_file.h"

namespace {

constexpr std::size_t kPieceBytes = 1u << 20;

bool writeAll(std::FILE* file, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

// Formatted rows of a surface. The buffer only grows, so that it is not cleared again for every
// piece.
struct Piece {
    std::string text;
    std::size_t used = 0;
};

// Rows [first, last) of the surface as the surface file holds them: every value as "%.*f\t" at
// precision 20 prints it, then "\n".
void formatSurfaceRows(Piece& piece, const double* const* surface, int first, int last, int C) {
    // The longest value: a sign, 309 digits before the point, the point, 20 after, the tab.
    constexpr std::size_t kLongest = 336;
    std::string& text = piece.text;
    std::size_t used = 0;
    for (int i = first; i < last; ++i) {
        for (int j = 0; j < C; ++j) {
            if (text.size() - used < kLongest) text.resize(2 * text.size() + kLongest);
            char* end = writeFixed20(text.data() + used, surface[i][j]);
            *end++ = '\t';
            used = static_cast<std::size_t>(end - text.data());
        }
        if (text.size() == used) text.resize(2 * text.size() + 1);
        text[used++] = '\n';
    }
    piece.used = used;
}

}  // namespace

std::string resultsFileName(const std::string& inputFile) {
    return inputFile + ".out.txt";
}

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

bool writeSurfaceFile(const std::string& path, const double* const* surface, int R, int C,
                      WorkerPool* pool) {
    FileCloser file(openFile(path, "w"));
    if (!file.get()) return false;
    // Rows are formatted in pieces of about kPieceBytes, a round of pieces at a time (on the
    // pool's threads, when there is one), and written in order.
    const int rowsPerPiece = std::max(1, static_cast<int>(kPieceBytes / (26u * (C + 1u))));
    const int piecesPerRound = pool ? 2 * pool->threadCount() : 1;
    std::vector<Piece> pieces(static_cast<std::size_t>(piecesPerRound));
    for (int first = 0; first < R; first += rowsPerPiece * piecesPerRound) {
        const int count = std::min(piecesPerRound, (R - first + rowsPerPiece - 1) / rowsPerPiece);
        auto format = [&](int k) {
            const int from = first + k * rowsPerPiece;
            formatSurfaceRows(pieces[static_cast<std::size_t>(k)], surface, from,
                              std::min(R, from + rowsPerPiece), C);
        };
        if (pool)
            pool->run(count, format);
        else
            for (int k = 0; k < count; ++k) format(k);
        for (int k = 0; k < count; ++k) {
            const Piece& piece = pieces[static_cast<std::size_t>(k)];
            if (std::fwrite(piece.text.data(), 1, piece.used, file.get()) != piece.used)
                return false;
        }
    }
    return writeAll(file.get(), "\n") && file.close();
}

bool createEmptyFile(const std::string& path) {
    FileCloser file(openFile(path, "w"));
    return file.get() && file.close();
}

bool appendToFile(const std::string& path, const std::string& text) {
    FileCloser file(openFile(path, "a"));
    return file.get() && writeAll(file.get(), text) && file.close();
}
