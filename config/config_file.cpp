#include "config_file.h"

#include <cerrno>
#include <cstdlib>
#include <type_traits>

#include "analysis_settings.h"
#include "number_format.h"
#include "system.h"
#include "text_file.h"

namespace {

// Scans of this many numbers separated by white space, then the white space after the last one
// (line end, empty line, indentation of the next line). A number that does not convert ends
// the scan; the rest of its line is then passed over, so the next heading is still found where
// it should be.
template <typename... Fields>
void scanLineOfNumbers(TextCursor& cursor, Fields&... fields) {
    bool converted = true;
    auto scanOne = [&](auto& field) {
        if (!converted) return;
        if constexpr (std::is_same_v<std::remove_reference_t<decltype(field)>, int>)
            converted = scanInt(cursor, field);
        else
            converted = scanDouble(cursor, field);
    };
    (scanOne(fields), ...);
    if (!converted) skipLine(cursor);
    skipSpace(cursor);
}

void appendLine(std::string& out, const std::string& text) {
    out += text;
    out += '\n';
}

}  // namespace

void skipLine(TextCursor& cursor) {
    while (cursor.p != cursor.end && *cursor.p != '\n') ++cursor.p;
    if (cursor.p != cursor.end) ++cursor.p;
}

bool readTrimmedLine(TextCursor& cursor, std::string& text) {
    const char* start = cursor.p;
    while (cursor.p != cursor.end && *cursor.p != '\n') ++cursor.p;
    std::string_view line(start, static_cast<std::size_t>(cursor.p - start));
    if (cursor.p != cursor.end) ++cursor.p;
    text = trimCSpace(line);
    return !text.empty();
}

std::string configText(const AnalysisSettings& s) {
    std::string out;
    appendLine(out, "[Input file]");
    appendLine(out, s.inputFile);
    out += '\n';
    appendLine(out, "[Shift (n, m)]");
    appendFixed(out, s.nShift, 4);
    out += '\t';
    appendFixed(out, s.mShift, 4);
    out += "\n\n";
    appendLine(out, "[Progression type (0=linear, 1=log)]");
    appendInt(out, s.progressionType);
    out += "\n\n";
    appendLine(out, "[Progression (from, to, step)]");
    appendInt(out, s.from);
    out += '\t';
    appendInt(out, s.to);
    out += '\t';
    appendInt(out, s.step);
    out += "\n\n";
    appendLine(out, "[Use progression file, progression file]");
    appendInt(out, s.useProgressionFile);
    out += '\n';
    appendLine(out, s.progressionFile);
    out += '\n';
    return out;
}

void parseConfigText(const char* begin, const char* end, AnalysisSettings& s) {
    TextCursor cursor{begin, end};
    skipLine(cursor);  // [Input file]
    readTrimmedLine(cursor, s.inputFile);
    skipLine(cursor);  // the empty line after the path
    skipLine(cursor);  // [Shift (n, m)]
    scanLineOfNumbers(cursor, s.nShift, s.mShift);
    skipLine(cursor);  // [Progression type (0=linear, 1=log)]
    scanLineOfNumbers(cursor, s.progressionType);
    skipLine(cursor);  // [Progression (from, to, step)]
    scanLineOfNumbers(cursor, s.from, s.to, s.step);
    skipLine(cursor);  // [Use progression file, progression file]
    scanLineOfNumbers(cursor, s.useProgressionFile);
    readTrimmedLine(cursor, s.progressionFile);
}

bool AnalysisSettings::writeConfig(std::string path) const {
    return replaceFileAtomically(path, configText(*this));
}

bool AnalysisSettings::readConfig(std::string path) {
    std::string text;
    if (!readWholeTextFile(path, text)) return false;
    parseConfigText(text.data(), text.data() + text.size(), *this);
    return true;
}
