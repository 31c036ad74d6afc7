#pragma once

#include <climits>
#include <functional>
#include <string>

#include "command_line.h"
#include "compute_options.h"
#include "surface_file.h"

// The validators that every command shares, so that an option means the same and is refused
// with the same words wherever it appears. Each reads one word given to `option` and returns
// false with `error` set to "OPTION: 'WORD' ..." when the word is refused. Numbers are whole
// words: a space before or after a number is refused, as the scanners promise.

// An integer in [least, most]: "is not an integer" or "is out of range (LEAST to MOST)".
bool integerValue(const std::string& option, const std::string& word, int& value,
                  std::string& error, int least = INT_MIN, int most = INT_MAX);
// A real number as strtod reads it in the C locale: "is not a number".
bool numberValue(const std::string& option, const std::string& word, double& value,
                 std::string& error);

constexpr int kMostThreads = 1024;

// Shared option rows. Each stores into what it is given, which must outlive the parse.
// --threads N: 1 to kMostThreads.
CliOption threadsOption(int& threads);
// --shift N M: two numbers, each in [0, 1]; `set` receives them.
CliOption shiftOption(std::function<void(double n, double m)> set);
// --method exact|fast.
CliOption methodOption(SurfaceMethod& method);
// --format F, --band N and --crop-valid: how a surface file is read.
void addReadOptions(CliOptionTable& table, ReadOptions& read);
