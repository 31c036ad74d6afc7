#include "fbm_command.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fbm_surface.h"
#include "generator_text.h"

namespace {

int usage(const std::string& fault) {
    std::fprintf(stderr,
                 "vantrel-make-surface: %s\n"
                 "usage: vantrel-make-surface --fbm --hurst H --size ROWS COLUMNS --seed S "
                 "[--digits D] OUT\n",
                 fault.c_str());
    return 2;
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
            if (!has(1) || !readNumber(argv[++k], hurst)) return usage("--hurst needs a number");
        } else if (option == "--size") {
            if (!has(2) || !readWhole(argv[k + 1], rows) || !readWhole(argv[k + 2], columns))
                return usage("--size needs two whole numbers");
            k += 2;
        } else if (option == "--seed") {
            if (!has(1) || !readWhole(argv[++k], seed) || seed < 0)
                return usage("--seed needs a whole number of at least 0");
        } else if (option == "--digits") {
            if (!has(1) || !readWhole(argv[++k], digits) || digits < 1 || digits > 17)
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

    if (!writeMatrixText(out, pair.first, columns, static_cast<int>(digits))) {
        std::fprintf(stderr, "vantrel-make-surface: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
