#pragma once

#include <cstdio>
#include <string>

#include "text_scan.h"

// The configuration file: the settings as 16 lines of text under five bracketed headings.
// AnalysisSettings::writeConfig and readConfig (declared with the settings) live in
// config_file.cpp; these are the pieces they are made of, exposed for tests and fuzzers.

// The file's text for the settings' values, exactly as the writer prints it.
class AnalysisSettings;
std::string configText(const AnalysisSettings& settings);

// Reads a configuration file's text into the settings, by position: each value is taken from
// the place where the writer puts it, and the headings are skipped unread. A number that does
// not convert leaves its field, and the later fields of the same line, as they were.
void parseConfigText(const char* begin, const char* end, AnalysisSettings& settings);

// Consumes the rest of the current line, its line feed included.
void skipLine(TextCursor& cursor);

// Reads the rest of the current line (consuming its line feed) into text, trimmed of white
// space at both ends. True when the trimmed text is not empty.
bool readTrimmedLine(TextCursor& cursor, std::string& text);
