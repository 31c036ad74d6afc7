#include "option_values.h"

#include "text_scan.h"

namespace {

// An optional sign and decimal digits: an integer, whether or not it fits.
bool looksLikeInteger(const std::string& text) {
    const std::size_t digits = text.find_first_not_of("+-") == 1 ? 1 : 0;
    if (text.size() <= digits) return false;
    return text.find_first_not_of("0123456789", digits) == std::string::npos;
}

bool refuse(std::string& error, const std::string& option, const std::string& word,
            const std::string& why) {
    error = option + ": '" + word + "' " + why;
    return false;
}

}  // namespace

bool integerValue(const std::string& option, const std::string& word, int& value,
                  std::string& error, int least, int most) {
    const std::string range =
        "is out of range (" + std::to_string(least) + " to " + std::to_string(most) + ")";
    // scanInt skips leading white space as fscanf does; a word on the command line may not.
    TextCursor cursor{word.data(), word.data() + word.size()};
    const bool whole = !word.empty() && !isCSpace(static_cast<unsigned char>(word[0])) &&
                       scanInt(cursor, value) && cursor.atEnd();
    if (!whole)
        return refuse(error, option, word, looksLikeInteger(word) ? range : "is not an integer");
    if (value < least || value > most) return refuse(error, option, word, range);
    return true;
}

bool numberValue(const std::string& option, const std::string& word, double& value,
                 std::string& error) {
    if (!parseWholeDouble(word.data(), word.data() + word.size(), value))
        return refuse(error, option, word, "is not a number");
    return true;
}

CliOption threadsOption(int& threads) {
    return valuesOption(
        "--threads", 1,
        [&threads](const std::string& name, const std::vector<std::string>& v, std::string& error) {
            return integerValue(name, v[0], threads, error, 1, kMostThreads);
        });
}

CliOption shiftOption(std::function<void(double n, double m)> set) {
    return valuesOption(
        "--shift", 2,
        [set = std::move(set)](const std::string& name, const std::vector<std::string>& v,
                               std::string& error) {
            double shifts[2];
            for (int k = 0; k < 2; ++k) {
                if (!numberValue(name, v[k], shifts[k], error)) return false;
                if (!(shifts[k] >= 0.0 && shifts[k] <= 1.0))
                    return refuse(error, name, v[k], "is out of range (0 to 1)");
            }
            set(shifts[0], shifts[1]);
            return true;
        });
}

CliOption methodOption(SurfaceMethod& method) {
    return valuesOption(
        "--method", 1,
        [&method](const std::string& name, const std::vector<std::string>& v, std::string& error) {
            if (v[0] == "exact")
                method = SurfaceMethod::kExact;
            else if (v[0] == "fast")
                method = SurfaceMethod::kFast;
            else
                return refuse(error, name, v[0], "is neither exact nor fast");
            return true;
        });
}

void addReadOptions(CliOptionTable& table, ReadOptions& read) {
    table.push_back(valuesOption(
        "--format", 1,
        [&read](const std::string& name, const std::vector<std::string>& v, std::string& error) {
            if (surfaceFormatFromName(v[0], read.format)) return true;
            return refuse(error, name, v[0], "is not one of text, csv, npy, gsf, gwy, x3p, gdal");
        }));
    table.push_back(valuesOption(
        "--band", 1,
        [&read](const std::string& name, const std::vector<std::string>& v, std::string& error) {
            return integerValue(name, v[0], read.band, error, 1, INT_MAX);
        }));
    table.push_back(flagOption({"--crop-valid"}, [&read] { read.cropValid = true; }));
}
