#include "truth_command.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "generator_text.h"
#include "truth_surfaces.h"

namespace {

int usage(const std::string& fault) {
    std::fprintf(stderr,
                 "vantrel-make-surface: %s\n"
                 "usage: vantrel-make-surface --mosaic --size ROWS COLUMNS --seed S "
                 "[--hurst H1 H2 H3 H4] OUT\n"
                 "       vantrel-make-surface --sheet --hurst HC HR --size ROWS COLUMNS --seed S "
                 "OUT\n",
                 fault.c_str());
    return 2;
}

}  // namespace

int runTruthCommand(int argc, char** argv) {
    bool sheet = false;
    for (int k = 1; k < argc; ++k) sheet = sheet || std::string(argv[k]) == "--sheet";
    std::vector<double> hurst;
    long long rows = 0, columns = 0, seed = -1;
    std::string out;
    for (int k = 1; k < argc; ++k) {
        const std::string option = argv[k];
        if (option == "--mosaic" || option == "--sheet") continue;
        if (option == "--hurst") {
            const int count = sheet ? 2 : 4;
            for (int n = 0; n < count; ++n) {
                double h = 0.0;
                if (k + 1 >= argc || !readNumber(argv[++k], h))
                    return usage("--hurst needs " + std::to_string(count) + " numbers");
                hurst.push_back(h);
            }
        } else if (option == "--size") {
            if (k + 2 >= argc || !readWhole(argv[k + 1], rows) || !readWhole(argv[k + 2], columns))
                return usage("--size needs two whole numbers");
            k += 2;
        } else if (option == "--seed") {
            if (k + 1 >= argc || !readWhole(argv[++k], seed) || seed < 0)
                return usage("--seed needs a whole number of at least 0");
        } else if (!option.empty() && option[0] == '-') {
            return usage("unknown option '" + option + "'");
        } else if (out.empty()) {
            out = option;
        } else {
            return usage("only one output file");
        }
    }
    if (out.empty()) return usage("no output file named");
    if (seed < 0 || rows == 0) return usage("--size and --seed are needed");
    if (rows < 2 || columns < 2 || rows > 16384 || columns > 16384)
        return usage("the size must lie between 2 and 16384 in each direction");
    if (sheet && hurst.size() != 2) return usage("--sheet needs --hurst HC HR");
    if (!sheet && hurst.empty()) hurst = {0.2, 0.4, 0.6, 0.8};

    std::string error;
    const std::vector<double> values =
        sheet ? makeFbmSheet(static_cast<int>(rows), static_cast<int>(columns), hurst[0], hurst[1],
                             static_cast<std::uint64_t>(seed), error)
              : makeFbmMosaic(static_cast<int>(rows), static_cast<int>(columns), hurst.data(),
                              static_cast<std::uint64_t>(seed), error);
    if (!error.empty()) return usage(error);
    if (!writeMatrixText(out, values, columns, 17)) {
        std::fprintf(stderr, "vantrel-make-surface: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
