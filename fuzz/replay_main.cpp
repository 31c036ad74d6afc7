// Runs a fuzz target once on every file of the folders (or files) named on the command line, so
// that the ordinary and the sanitizer test builds replay the committed corpus without libFuzzer.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A copy of exactly the input's size, so that a read past its end is caught.
    std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(input.data(), input.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t count = 0;
    for (int k = 1; k < argc; ++k) {
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(argv[k])) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[k]))
                if (entry.is_regular_file()) files.push_back(entry.path());
        } else {
            files.push_back(argv[k]);
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) replay(file);
        count += files.size();
    }
    std::printf("replayed %zu inputs\n", count);
    return count > 0 ? 0 : 1;
}
