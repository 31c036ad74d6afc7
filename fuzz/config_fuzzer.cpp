// The configuration reader on arbitrary bytes. Whatever it loads must write out as printf would
// print it, and reading that text back must give the same text again.

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

#include "analysis_settings.h"
#include "config_file.h"
#include "fuzz_check.h"

namespace {

std::string printed(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string printed(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    char buffer[2048];
    int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    return std::string(buffer, static_cast<std::size_t>(length));
}

// The file as the writer's printf formats give it; the paths go in as bytes, NULs included.
std::string printfText(const AnalysisSettings& s) {
    return "[Input file]\n" + s.inputFile + "\n\n[Shift (n, m)]\n" +
           printed("%.4lf\t%.4lf\n\n", s.nShift, s.mShift) +
           "[Progression type (0=linear, 1=log)]\n" + printed("%d\n\n", s.progressionType) +
           "[Progression (from, to, step)]\n" + printed("%d\t%d\t%d\n\n", s.from, s.to, s.step) +
           "[Use progression file, progression file]\n" + printed("%d\n", s.useProgressionFile) +
           s.progressionFile + "\n\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* begin = reinterpret_cast<const char*>(data);
    AnalysisSettings settings;
    settings.nShift = 0.25;  // values a load must keep when their numbers do not convert
    settings.from = 7;
    parseConfigText(begin, begin + size, settings);

    std::string written = configText(settings);
    FUZZ_CHECK(written == printfText(settings));

    AnalysisSettings reread;
    parseConfigText(written.data(), written.data() + written.size(), reread);
    FUZZ_CHECK(configText(reread) == written);
    return 0;
}
