#include "file_filter.h"

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type end = text.find(separator, start);
        if (end == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string bothCases(const std::string& glob) {
    if (glob == "*.*") return "*";
    std::string out;
    for (char c : glob) {
        if (!isLetter(c)) {
            out += c;
            continue;
        }
        char lower = static_cast<char>(c | 0x20);
        char upper = static_cast<char>(lower - 'a' + 'A');
        out += '[';
        out += lower;
        out += upper;
        out += ']';
    }
    return out;
}

}  // namespace

std::vector<FileFilterEntry> parseFileFilter(const std::string& filter) {
    std::vector<FileFilterEntry> entries;
    std::vector<std::string> parts = split(filter, '|');
    // An empty description ends the list: that is the closing "||".
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty()) break;
        entries.push_back({parts[i], parts[i + 1]});
    }
    return entries;
}

std::string desktopPattern(const std::string& pattern) {
    std::string out;
    for (const std::string& glob : split(pattern, ';')) {
        if (!out.empty()) out += ';';
        out += bothCases(glob);
    }
    return out;
}

std::string desktopWildcard(const std::string& filter) {
    std::string out;
    for (const FileFilterEntry& entry : parseFileFilter(filter)) {
        if (!out.empty()) out += '|';
        out += entry.description + '|' + desktopPattern(entry.pattern);
    }
    return out;
}
