#include "config_file.h"

#include <cerrno>
#include <cstdlib>
#include <type_traits>
#include <sys/stat.h>
#include <unistd.h>

#include "analysis_settings.h"
#include "number_format.h"
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

namespace {

// Writes straight into the file: for what is not a regular file (a device such as /dev/full, a
// pipe), where a rename would replace the special file instead of writing to it.
bool writeInPlace(const std::string& path, const std::string& text) {
    FileCloser file(std::fopen(path.c_str(), "w"));
    return file.get() && std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
           file.close();
}

}  // namespace

bool replaceFileAtomically(const std::string& path, const std::string& text) {
    // Through a symbolic link, replace the file it names and keep the link.
    std::string target = path;
    if (char* resolved = realpath(path.c_str(), nullptr)) {
        target = resolved;
        std::free(resolved);
    }
    struct stat existing {};
    bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        if (S_ISDIR(existing.st_mode)) return false;
        return writeInPlace(target, text);
    }

    std::string temporary = target + ".XXXXXX";
    int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) return false;
    // Keep the permissions an existing file had; a new file gets the usual ones.
    mode_t mode = existing.st_mode & 07777;
    if (!exists) {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(descriptor, mode);
    std::FILE* file = fdopen(descriptor, "w");
    if (!file) {
        close(descriptor);
        unlink(temporary.c_str());
        return false;
    }
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fflush(file) == 0 && written;
    written = fsync(fileno(file)) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
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
