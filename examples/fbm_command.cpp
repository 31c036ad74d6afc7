#include "fbm_command.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fbm_surface.h"

namespace {

int usage(const std::string& fault) {
    std::fprintf(stderr,
                 "vantrel-make-surface: %s\n"
                 "usage: vantrel-make-surface --fbm --hurst H --size ROWS COLUMNS --seed S "
                 "[--digits D] OUT\n",
                 fault.c_str());
    return 2;
}

bool number(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return *text != '\0' && *end == '\0';
}

bool whole(const char* text, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return *text != '\0' && *end == '\0';
}

}  // namespace

int runFbmCommand(int argc, char** argv) {
    double hurst = -1.0;
    long long rows = 0, columns = 0, seed = -1, digits = 17;
    std::string out;
    for (int k = 1; k < argc; ++k) {
        const std::string option = argv[k];
        auto has = [&](int values) { return k + values < argc; };
        if (option == "--fbm") continue;
        if (option == "--hurst") {
            if (!has(1) || !number(argv[++k], hurst)) return usage("--hurst needs a number");
        } else if (option == "--size") {
            if (!has(2) || !whole(argv[k + 1], rows) || !whole(argv[k + 2], columns))
                return usage("--size needs two whole numbers");
            k += 2;
        } else if (option == "--seed") {
            if (!has(1) || !whole(argv[++k], seed) || seed < 0)
                return usage("--seed needs a whole number of at least 0");
        } else if (option == "--digits") {
            if (!has(1) || !whole(argv[++k], digits) || digits < 1 || digits > 17)
                return usage("--digits needs a whole number from 1 to 17");
        } else if (!option.empty() && option[0] == '-') {
            return usage("unknown option '" + option + "'");
        } else if (out.empty()) {
            out = option;
        } else {
            return usage("only one output file");
        }
    }
    if (out.empty()) return usage("no output file named");
    if (hurst < 0.0 || seed < 0 || rows == 0) return usage("--hurst, --size and --seed are needed");
    if (rows < 1 || columns < 1 || rows > 16384 || columns > 16384)
        return usage("the size must lie between 1 and 16384 in each direction");

    std::string error;
    const FbmPair pair = makeFbmPair(static_cast<int>(rows), static_cast<int>(columns), hurst,
                                     static_cast<std::uint64_t>(seed), error);
    if (!error.empty()) return usage(error);

    std::FILE* file = std::fopen(out.c_str(), "w");
    if (!file) {
        std::fprintf(stderr, "vantrel-make-surface: cannot write %s\n", out.c_str());
        return 1;
    }
    std::vector<char> buffer(1 << 20);
    std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
    for (long long i = 0; i < rows; ++i) {
        for (long long j = 0; j < columns; ++j)
            std::fprintf(file, j + 1 < columns ? "%.*g\t" : "%.*g\n", static_cast<int>(digits),
                         pair.first[static_cast<std::size_t>(i * columns + j)]);
    }
    const bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "vantrel-make-surface: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
