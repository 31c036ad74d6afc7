#include "pmodel_command.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "generator_text.h"
#include "pmodel_measure.h"

namespace {

int usage(const std::string& fault) {
    std::fprintf(stderr,
                 "vantrel-make-surface: %s\n"
                 "usage: vantrel-make-surface --pmodel P1 P2 P3 P4 --levels K [--seed S] "
                 "[--digits D] [--spectrum FILE] OUT\n",
                 fault.c_str());
    return 2;
}

bool closeAndCheck(std::FILE* file) {
    const bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
    return std::fclose(file) == 0 && written;
}

}  // namespace

int runPModelCommand(int argc, char** argv) {
    PModelFractions p = {-1, -1, -1, -1};
    long long levels = -1, seed = 1, digits = 17;
    std::string out, spectrumFile;
    for (int k = 1; k < argc; ++k) {
        const std::string option = argv[k];
        auto has = [&](int values) { return k + values < argc; };
        if (option == "--pmodel") {
            if (!has(4)) return usage("--pmodel needs four fractions");
            for (double& share : p)
                if (!readNumber(argv[++k], share)) return usage("--pmodel needs four numbers");
        } else if (option == "--levels") {
            if (!has(1) || !readWhole(argv[++k], levels) || levels < 1 || levels > 13)
                return usage("--levels needs a whole number from 1 to 13");
        } else if (option == "--seed") {
            if (!has(1) || !readWhole(argv[++k], seed) || seed < 0)
                return usage("--seed needs a whole number of at least 0");
        } else if (option == "--digits") {
            if (!has(1) || !readWhole(argv[++k], digits) || digits < 1 || digits > 17)
                return usage("--digits needs a whole number from 1 to 17");
        } else if (option == "--spectrum") {
            if (!has(1)) return usage("--spectrum needs a file");
            spectrumFile = argv[++k];
        } else if (!option.empty() && option[0] == '-') {
            return usage("unknown option '" + option + "'");
        } else if (out.empty()) {
            out = option;
        } else {
            return usage("only one output file");
        }
    }
    if (out.empty()) return usage("no output file named");
    if (levels < 0) return usage("--levels is needed");
    double total = 0;
    for (double share : p) {
        if (!(share > 0 && share < 1)) return usage("the fractions must lie between 0 and 1");
        total += share;
    }
    if (std::fabs(total - 1.0) > 1e-9) return usage("the four fractions must sum to 1");

    const std::vector<double> mass =
        makePModel(p, static_cast<int>(levels), static_cast<std::uint64_t>(seed));
    const long long size = 1LL << levels;
    if (!writeMatrixText(out, mass, size, static_cast<int>(digits)))
        return std::fprintf(stderr, "vantrel-make-surface: cannot write %s\n", out.c_str()), 1;

    if (spectrumFile.empty()) return 0;
    std::FILE* spectrum = std::fopen(spectrumFile.c_str(), "w");
    if (!spectrum)
        return std::fprintf(stderr, "vantrel-make-surface: cannot write %s\n",
                            spectrumFile.c_str()),
               1;
    std::fprintf(spectrum, "q\ttau\talpha\tf_alpha\n");
    for (int k = -8; k <= 8; ++k) {
        const double q = k * 0.5;
        std::fprintf(spectrum, "%g\t%.10g\t%.10g\t%.10g\n", q, pModelTau(p, q), pModelAlpha(p, q),
                     pModelFAlpha(p, q));
    }
    if (!closeAndCheck(spectrum))
        return std::fprintf(stderr, "vantrel-make-surface: cannot write %s\n",
                            spectrumFile.c_str()),
               1;
    return 0;
}
