#pragma once

#include <string>
#include <vector>

// File-dialog filters in the form the program writes them: pairs of a description and a pattern,
// each followed by '|', with one more '|' at the end.

struct FileFilterEntry {
    std::string description;
    std::string pattern;  // one or more patterns separated by ';'
};

// The pairs in order. A trailing description without a pattern is dropped.
std::vector<FileFilterEntry> parseFileFilter(const std::string& filter);

// A pattern as a desktop file chooser with case-sensitive globbing needs it: "*.*" (every file)
// becomes "*", so that files without an extension show too, and each letter becomes a class of
// both cases ("*.txt" becomes "*.[tT][xX][tT]"), so that FILE.TXT shows beside file.txt. Parts
// separated by ';' are converted one by one.
std::string desktopPattern(const std::string& pattern);

// The whole filter for a wxWidgets-style wildcard: "desc|pattern|desc|pattern", patterns
// converted as desktopPattern says.
std::string desktopWildcard(const std::string& filter);
