#include "cli_options.h"

#include <climits>

#include "scaling_sides.h"
#include "text_scan.h"

const char* const kUsageText =
    "Usage: vantrel-cli run [CONFIG] [options]\n"
    "       vantrel-cli analyse FILE [options]  H of the surface in FILE (vantrel-cli analyse "
    "--help)\n"
    "       vantrel-cli fit FILE [options]      H from a run's FILE.out.txt (vantrel-cli analyse "
    "--help)\n"
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
    "  --format F                 read the input as text, csv, npy, gsf or gdal (default: by\n"
    "                             its content, then its name's ending, else text)\n"
    "  --band N                   the raster band GDAL reads (default 1)\n"
    "  --crop-valid               analyse the largest rectangle without missing values\n"
    "                             (default: missing values end the run)\n"
    "Other options:\n"
    "  -y, --yes                  answer Yes to the data-size question (default: ask)\n"
    "  --quiet                    no progress line and no closing line\n"
    "  --save-config FILE         save the effective settings as a configuration file first\n"
    "  --help, --version\n";

const char* const kUsageHint = "Try 'vantrel-cli --help'";

namespace {

bool parseIntText(const std::string& text, int& value) {
    TextCursor cursor{text.data(), text.data() + text.size()};
    if (text.empty() || isCSpace(static_cast<unsigned char>(text[0]))) return false;
    return scanInt(cursor, value) && cursor.atEnd();
}

// An optional sign and decimal digits: an integer, whether or not it fits.
bool looksLikeInteger(const std::string& text) {
    std::size_t digits = text.find_first_not_of("+-") == 1 ? 1 : 0;
    if (text.size() <= digits) return false;
    return text.find_first_not_of("0123456789", digits) == std::string::npos;
}

bool parseDoubleText(const std::string& text, double& value) {
    return parseWholeDouble(text.data(), text.data() + text.size(), value);
}

// Walks the arguments, handing out the values that options take.
class ArgumentCursor {
  public:
    ArgumentCursor(const std::vector<std::string>& args, std::string& error, std::size_t next = 0)
        : args_(args), error_(error), next_(next) {}
    std::size_t position() const { return next_; }
    bool done() const { return next_ >= args_.size(); }
    const std::string& take() { return args_[next_++]; }

    bool text(const std::string& option, std::string& value) {
        if (done()) return fail(option + " needs a value");
        value = take();
        return true;
    }
    bool integer(const std::string& option, int& value, int least = INT_MIN, int most = INT_MAX) {
        std::string word;
        if (!text(option, word)) return false;
        const std::string range =
            " is out of range (" + std::to_string(least) + " to " + std::to_string(most) + ")";
        if (!parseIntText(word, value))
            return fail(option + ": '" + word + "'" +
                        (looksLikeInteger(word) ? range : " is not an integer"));
        if (value < least || value > most) return fail(option + ": '" + word + "'" + range);
        return true;
    }
    bool real(const std::string& option, double& value) {
        std::string word;
        if (!text(option, word)) return false;
        if (!parseDoubleText(word, value)) return fail(option + ": '" + word + "' is not a number");
        return true;
    }
    bool fail(const std::string& message) {
        error_ = message;
        return false;
    }

  private:
    const std::vector<std::string>& args_;
    std::string& error_;
    std::size_t next_;
};

bool parseRule(ArgumentCursor& cursor, const std::string& option, int type, CliRequest& request) {
    int from, to, step;
    if (!cursor.integer(option, from) || !cursor.integer(option, to) ||
        !cursor.integer(option, step))
        return false;
    request.overrides.push_back([=](AnalysisSettings& s) {
        s.from = from;
        s.to = to;
        s.step = step;
        s.progressionType = type;
        s.useProgressionFile = 0;
    });
    return true;
}

// --sides A:B: the areas s^2 of the odd sides s from A to B, four per doubling, as analyse
// chooses them.
bool parseRunSides(ArgumentCursor& cursor, const std::string& option, CliRequest& request) {
    std::string word;
    if (!cursor.text(option, word)) return false;
    const std::size_t colon = word.find(':');
    int from = 0, to = 0;
    if (colon == std::string::npos || !parseIntText(word.substr(0, colon), from) ||
        !parseIntText(word.substr(colon + 1), to) || from < 1 || to < from || to > 46339)
        return cursor.fail(option + ": '" + word +
                           "' is not A:B with 1 <= A <= B <= 46339 (the odd sides A to B)");
    request.compute.areas.clear();
    for (int side : oddSidesInLog(from, to)) request.compute.areas.push_back(side * side);
    if (request.compute.areas.empty())
        return cursor.fail(option + ": '" + word + "' holds no odd side");
    return true;
}

// The options that choose how the input file is read.
bool parseReadOption(ArgumentCursor& cursor, const std::string& option, ReadOptions& read) {
    if (option == "--crop-valid") {
        read.cropValid = true;
        return true;
    }
    if (option == "--band") {
        return cursor.integer(option, read.band, 1, INT_MAX);
    }
    std::string format;
    if (!cursor.text(option, format)) return false;
    if (!surfaceFormatFromName(format, read.format))
        return cursor.fail(option + ": '" + format + "' is not one of text, csv, npy, gsf, gdal");
    return true;
}

bool parseOption(ArgumentCursor& cursor, const std::string& option, CliRequest& request) {
    if (option == "--input") {
        std::string file;
        if (!cursor.text(option, file)) return false;
        request.overrides.push_back([=](AnalysisSettings& s) { s.inputFile = file; });
    } else if (option == "--shift") {
        double n, m;
        if (!cursor.real(option, n) || !cursor.real(option, m)) return false;
        request.overrides.push_back([=](AnalysisSettings& s) {
            s.nShift = n;
            s.mShift = m;
        });
    } else if (option == "--linear") {
        return parseRule(cursor, option, 0, request);
    } else if (option == "--log") {
        return parseRule(cursor, option, 1, request);
    } else if (option == "--progression-file") {
        std::string file;
        if (!cursor.text(option, file)) return false;
        request.overrides.push_back([=](AnalysisSettings& s) {
            s.progressionFile = file;
            s.useProgressionFile = 1;
        });
    } else if (option == "--sides") {
        return parseRunSides(cursor, option, request);
    } else if (option == "--generate-surfaces") {
        request.options.generateSurfaces = 1;
    } else if (option == "--no-optimise") {
        request.options.optimise = 0;
    } else if (option == "--precision") {
        return cursor.integer(option, request.options.outputPrecision);
    } else if (option == "--normalise") {
        request.options.normalise = 1;
    } else if (option == "--method") {
        std::string method;
        if (!cursor.text(option, method)) return false;
        if (method == "exact")
            request.compute.method = SurfaceMethod::kExact;
        else if (method == "fast")
            request.compute.method = SurfaceMethod::kFast;
        else
            return cursor.fail(option + ": '" + method + "' is neither exact nor fast");
    } else if (option == "--threads") {
        return cursor.integer(option, request.compute.threads, 1, 1024);
    } else if (option == "--output") {
        return cursor.text(option, request.compute.resultsFile);
    } else if (option == "--format" || option == "--band" || option == "--crop-valid") {
        return parseReadOption(cursor, option, request.read);
    } else if (option == "-y" || option == "--yes") {
        request.answerYes = true;
    } else if (option == "--quiet") {
        request.quiet = true;
    } else if (option == "--save-config") {
        std::string file;
        if (!cursor.text(option, file)) return false;
        request.saveConfigFile = file;
    } else {
        return cursor.fail("unknown option '" + option + "'");
    }
    return true;
}

}  // namespace

bool isReadOption(const std::string& word) {
    return word == "--format" || word == "--band" || word == "--crop-valid";
}

bool parseReadOptionAt(const std::vector<std::string>& args, std::size_t& k, ReadOptions& read,
                       std::string& error) {
    ArgumentCursor cursor(args, error, k + 1);
    if (!parseReadOption(cursor, args[k], read)) return false;
    k = cursor.position() - 1;
    return true;
}

std::optional<CliRequest> parseCommandLine(const std::vector<std::string>& args,
                                           std::string& error) {
    CliRequest request;
    ArgumentCursor cursor(args, error);
    if (cursor.done()) {
        cursor.fail("no command given");
        return std::nullopt;
    }
    const std::string& command = cursor.take();
    if (command == "--help" || command == "-h" || command == "--version") {
        if (!cursor.done()) {
            cursor.fail(command + " takes no arguments, but '" + cursor.take() + "' follows");
            return std::nullopt;
        }
        request.action =
            command == "--version" ? CliRequest::Action::kVersion : CliRequest::Action::kHelp;
        return request;
    }
    if (command != "run") {
        cursor.fail("unknown command '" + command + "'");
        return std::nullopt;
    }
    while (!cursor.done()) {
        const std::string& word = cursor.take();
        if (word == "--help" || word == "-h") {
            request.action = CliRequest::Action::kHelp;
            return request;
        }
        if (!word.empty() && word[0] == '-' && word != "-") {
            if (!parseOption(cursor, word, request)) return std::nullopt;
        } else if (!request.configFile) {
            request.configFile = word;
        } else {
            cursor.fail("unexpected argument '" + word + "' (only one configuration file)");
            return std::nullopt;
        }
    }
    if (request.compute.method == SurfaceMethod::kFast && request.options.optimise == 0) {
        cursor.fail("--no-optimise: the fast method has no plain mode (drop one of them)");
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
