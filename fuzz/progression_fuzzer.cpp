// The progression file reader on arbitrary bytes, checked against strtol: a count, then at most
// that many areas, reading stopping at the first item that is not a decimal integer within
// 32 bits.

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "progression.h"

namespace {

// The next number as strtol reads it in base 10, if it is one within 32 bits.
bool nextInt(const char*& p, int& value) {
    char* stop = nullptr;
    errno = 0;
    long parsed = std::strtol(p, &stop, 10);
    if (stop == p || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
    p = stop;
    value = static_cast<int>(parsed);
    return true;
}

std::vector<int> plainReading(const std::string& text) {
    std::vector<int> areas;
    const char* p = text.c_str();  // a NUL byte ends the numbers as any other non-digit does
    int count = 0;
    if (!nextInt(p, count)) return areas;
    for (int area = 0; static_cast<int>(areas.size()) < count && nextInt(p, area);)
        areas.push_back(area);
    return areas;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    AreaList areas = parseProgressionText(text.data(), text.data() + text.size());
    std::vector<int> expected = plainReading(text);
    FUZZ_CHECK(std::vector<int>(areas.begin(), areas.end()) == expected);
    FUZZ_CHECK(areas.capacity == AreaList::roundedCapacity(areas.count));
    return 0;
}
