#include "generator_text.h"

#include <cstdio>
#include <cstdlib>

bool readNumber(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return *text != '\0' && *end == '\0';
}

bool readWhole(const char* text, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return *text != '\0' && *end == '\0';
}

bool writeMatrixText(const std::string& path, const std::vector<double>& values, long long columns,
                     int digits) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    std::vector<char> buffer(1 << 20);
    std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
    const auto width = static_cast<std::size_t>(columns);
    for (std::size_t k = 0; k < values.size(); ++k)
        std::fprintf(file, (k + 1) % width ? "%.*g\t" : "%.*g\n", digits, values[k]);
    const bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
    return std::fclose(file) == 0 && written;
}
