#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "matrix_loader.h"
#include "run_host.h"

// Answers Yes and keeps what a reader says, so that a fuzz target can check that a reader either
// loads a matrix of the size it showed or explains, naming the file, why not.
class ReaderFuzzHost : public RunHost {
  public:
    std::vector<std::string> messages;
    std::string sizeText;
    void showMessage(const std::string& text) override { messages.push_back(text); }
    bool askYesNo(const std::string&) override { return true; }
    void setDataSizeText(const std::string& text) override { sizeText = text; }
    void beginWaitCursor() override {}
    void endWaitCursor() override {}
};

// Runs `read` over the bytes as a file named "fuzz" and checks what every reader promises.
template <class Read>
void checkReader(const std::uint8_t* data, std::size_t size, Read read) {
    if (size == 0) return;  // fmemopen refuses an empty buffer
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    if (!file) return;
    ReaderFuzzHost host;
    const std::optional<DataMatrix> matrix = read(host, file);
    std::fclose(file);
    if (matrix) {
        const int R = matrix->rowCount(), C = matrix->columnCount();
        FUZZ_CHECK(matrix->hasStorage());
        FUZZ_CHECK(host.messages.empty());
        FUZZ_CHECK(host.sizeText == dataSizeText(R, C));
        for (int i = 0; i < R; ++i)
            for (int j = 0; j < C; ++j) {
                volatile double touched = (*matrix)[i][j];  // every cell exists
                (void)touched;
            }
    } else {
        FUZZ_CHECK(host.messages.size() == 1);
        FUZZ_CHECK(host.messages[0].rfind("fuzz: ", 0) == 0);
    }
}
