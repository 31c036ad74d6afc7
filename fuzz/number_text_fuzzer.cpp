// The dialog's number fields on arbitrary text, checked against strtol and strtod in the "C"
// locale; and the texts the dialog writes into its fields, which must read back as the same
// numbers.

#include <locale.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "number_text.h"
#include "text_scan.h"

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isCSpace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && isCSpace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// The whole text, blanks around it aside, as strtol reads it: true with the value when it is a
// decimal integer within 32 bits.
bool strtolWhole(std::string_view text, int& value) {
    std::string token(trimmed(text));
    if (token.empty() || token.find('\0') != std::string::npos) return false;
    char* stop = nullptr;
    errno = 0;
    long parsed = std::strtol(token.c_str(), &stop, 10);
    if (stop != token.c_str() + token.size() || errno == ERANGE) return false;
    if (parsed < INT_MIN || parsed > INT_MAX) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool strtodWhole(std::string_view text, double& value) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    std::string token(trimmed(text));
    if (token.empty() || token.find('\0') != std::string::npos) return false;
    char* stop = nullptr;
    value = strtod_l(token.c_str(), &stop, cLocale);
    return stop == token.c_str() + token.size();
}

bool sameValue(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);

    int integer = -17;
    int expectedInteger = -17;
    FUZZ_CHECK(parseIntegerText(text, integer) == strtolWhole(text, expectedInteger));
    FUZZ_CHECK(integer == expectedInteger);

    double real = -17.0;
    double expectedReal = -17.0;
    bool read = parseRealText(text, real);
    FUZZ_CHECK(read == strtodWhole(text, expectedReal));
    FUZZ_CHECK(!read || sameValue(real, expectedReal));
    FUZZ_CHECK(read || real == -17.0);

    // The bytes as numbers: what the dialog writes into a field reads back unchanged.
    if (size >= sizeof(int)) {
        int value;
        std::memcpy(&value, data, sizeof value);
        int back = 0;
        FUZZ_CHECK(parseIntegerText(formatInteger(value), back) && back == value);
    }
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        double back = 0.0;
        FUZZ_CHECK(parseRealText(formatReal(value), back) && sameValue(back, value));
    }
    return 0;
}
