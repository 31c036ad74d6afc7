#include "cli_options.h"

#include "option_values.h"
#include "scaling_sides.h"

const char* const kUsageText =
    "Usage: vantrel-cli run [CONFIG] [options]\n"
    "       vantrel-cli analyse FILE [options]  H of the surface in FILE (vantrel-cli analyse "
    "--help)\n"
    "       vantrel-cli fit FILE [options]      H from a run's FILE.out.txt (vantrel-cli analyse "
    "--help)\n"
    "       vantrel-cli multifractal FILE [options]  h(q), tau(q), f(alpha) and a test "
    "(vantrel-cli multifractal --help)\n"
    "       vantrel-cli map FILE [options]      H of every tile of FILE (vantrel-cli map --help)\n"
    "       vantrel-cli --help | --version\n"
    "\n"
    "Computes the moving-average surface of a data matrix for each window area of a\n"
    "progression and writes the residual sums to INPUT.out.txt.\n"
    "\n"
    "Settings (start from CONFIG, if given; later options override earlier ones):\n"
    "  --input FILE               the data matrix file (default: none)\n"
    "  --shift N M                the n and m shifts, each in [0, 1] (default 0 0)\n"
    "  --linear FROM TO STEP      linear progression of areas\n"
    "  --log FROM TO STEP         logarithmic progression of areas (STEP is the factor)\n"
    "                             (default: no type chosen, from 0 to 0 step 0: area 0)\n"
    "  --progression-file FILE    take the areas from a progression file (default: off)\n"
    "  --sides A:B                the areas s^2 of odd sides s from A to B, four per doubling\n"
    "                             (as analyse's sides; replaces the progression, and is not\n"
    "                             kept by --save-config)\n"
    "Run options:\n"
    "  --generate-surfaces        write each area's surface to INPUT.AREA.out.txt (default: off)\n"
    "  --no-optimise              sum every window from scratch (INPUT.AREA.out.no_opt.txt)\n"
    "                             (default: slide the window)\n"
    "  --precision N              digits after the point in the results file (default 5)\n"
    "  --normalise                rescale the data to [-1, 1] first (default: off)\n"
    "  --method exact|fast        exact (default): the sums above, byte for byte; fast: running\n"
    "                             sums over the centred data, the same cost per cell for any\n"
    "                             window, surfaces to INPUT.AREA.out.fast.txt\n"
    "  --threads N                compute with N threads, 1 to 1024 (default: one per core)\n"
    "  --output FILE              write the results to FILE (default INPUT.out.txt)\n"
    "Input options:\n"
    "  --format F                 read the input as text, csv, npy, gsf, gwy, x3p or\n"
    "                             gdal (default: by its content, then its name's\n"
    "                             ending, else text)\n"
    "  --band N                   the raster band GDAL reads (default 1)\n"
    "  --crop-valid               analyse the largest rectangle without missing values\n"
    "                             (default: missing values end the run)\n"
    "Other options:\n"
    "  -y, --yes                  answer Yes to the data-size question (default: ask)\n"
    "  --quiet                    no progress line and no closing line\n"
    "  --save-config FILE         save the effective settings as a configuration file first\n"
    "  --help, --version\n";

namespace {

// A progression rule's three integers: from, to and step.
CliOption ruleOption(const std::string& name, int type, CliRequest& request) {
    return valuesOption(name, 3,
                        [type, &request](const std::string& option,
                                         const std::vector<std::string>& v, std::string& error) {
                            int from, to, step;
                            if (!integerValue(option, v[0], from, error) ||
                                !integerValue(option, v[1], to, error) ||
                                !integerValue(option, v[2], step, error))
                                return false;
                            request.overrides.push_back([=](AnalysisSettings& s) {
                                s.from = from;
                                s.to = to;
                                s.step = step;
                                s.progressionType = type;
                                s.useProgressionFile = 0;
                            });
                            return true;
                        });
}

// --sides A:B: the areas s^2 of the odd sides s from A to B, four per doubling, as analyse
// chooses them.
CliOption sidesOption(CliRequest& request) {
    return valuesOption(
        "--sides", 1,
        [&request](const std::string& option, const std::vector<std::string>& v,
                   std::string& error) {
            const std::string& word = v[0];
            const std::size_t colon = word.find(':');
            int from = 0, to = 0;
            std::string unused;
            if (colon == std::string::npos ||
                !integerValue(option, word.substr(0, colon), from, unused, 1, 46339) ||
                !integerValue(option, word.substr(colon + 1), to, unused, from, 46339)) {
                error = option + ": '" + word +
                        "' is not A:B with 1 <= A <= B <= 46339 (the odd sides A to B)";
                return false;
            }
            request.compute.areas.clear();
            for (int side : oddSidesInLog(from, to)) request.compute.areas.push_back(side * side);
            if (request.compute.areas.empty()) {
                error = option + ": '" + word + "' holds no odd side";
                return false;
            }
            return true;
        });
}

// A settings override that takes one word as it is.
CliOption settingOption(const std::string& name, CliRequest& request,
                        std::function<void(AnalysisSettings&, const std::string&)> set) {
    return valuesOption(
        name, 1,
        [&request, set](const std::string&, const std::vector<std::string>& v, std::string&) {
            const std::string word = v[0];
            request.overrides.push_back([set, word](AnalysisSettings& s) { set(s, word); });
            return true;
        });
}

// The options of `run`, storing into `request`.
CliOptionTable runOptionTable(CliRequest& request) {
    CliOptionTable table = {
        settingOption("--input", request,
                      [](AnalysisSettings& s, const std::string& file) { s.inputFile = file; }),
        shiftOption([&request](double n, double m) {
            request.overrides.push_back([=](AnalysisSettings& s) {
                s.nShift = n;
                s.mShift = m;
            });
        }),
        ruleOption("--linear", 0, request),
        ruleOption("--log", 1, request),
        settingOption("--progression-file", request,
                      [](AnalysisSettings& s, const std::string& file) {
                          s.progressionFile = file;
                          s.useProgressionFile = 1;
                      }),
        sidesOption(request),
        flagOption({"--generate-surfaces"}, [&request] { request.options.generateSurfaces = 1; }),
        flagOption({"--no-optimise"}, [&request] { request.options.optimise = 0; }),
        valuesOption("--precision", 1,
                     [&request](const std::string& name, const std::vector<std::string>& v,
                                std::string& error) {
                         return integerValue(name, v[0], request.options.outputPrecision, error);
                     }),
        flagOption({"--normalise"}, [&request] { request.options.normalise = 1; }),
        methodOption(request.compute.method),
        threadsOption(request.compute.threads),
        textOption("--output", request.compute.resultsFile),
        flagOption({"-y", "--yes"}, [&request] { request.answerYes = true; }),
        flagOption({"--quiet"}, [&request] { request.quiet = true; }),
        valuesOption(
            "--save-config", 1,
            [&request](const std::string&, const std::vector<std::string>& v, std::string&) {
                request.saveConfigFile = v[0];
                return true;
            }),
    };
    addReadOptions(table, request.read);
    return table;
}

}  // namespace

std::optional<CliRequest> parseRunArguments(const std::vector<std::string>& args,
                                            std::string& error) {
    CliRequest request;
    const CliOptionTable table = runOptionTable(request);
    auto configFile = [&request](const std::string& word, std::string& fault) {
        if (request.configFile) {
            fault = "unexpected argument '" + word + "' (only one configuration file)";
            return false;
        }
        request.configFile = word;
        return true;
    };
    switch (parseCommandArguments(args, 1, table, configFile, error)) {
        case ParseOutcome::kUsageError:
            return std::nullopt;
        case ParseOutcome::kHelp:
            request.action = CliRequest::Action::kHelp;
            return request;
        case ParseOutcome::kParsed:
            break;
    }
    if (request.compute.method == SurfaceMethod::kFast && request.options.optimise == 0) {
        error = "--no-optimise: the fast method has no plain mode (drop one of them)";
        return std::nullopt;
    }
    return request;
}

bool effectiveSettings(const CliRequest& request, AnalysisSettings& settings) {
    settings.reset();
    if (request.configFile && !settings.readConfig(*request.configFile)) return false;
    for (const auto& apply : request.overrides) apply(settings);
    return true;
}
