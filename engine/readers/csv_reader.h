#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "data_matrix.h"
#include "run_host.h"

// Reads comma- or semicolon-separated values from a file open at its start, in two passes like
// the text matrix: the first counts rows and fields, the second converts them after the size
// question. The separator is ';' when the first non-empty line holds one, else ','. That line is
// a header, and skipped, when none of its fields reads as a number. Lines of white space only
// are skipped; every row must hold as many fields as the first; every field must read whole as
// strtod reads it in the "C" locale, or be empty (a missing value, which arrives as NaN, as
// does "nan"). The matrix; nothing, after a message that begins with `name`, for a file that
// breaks these rules, and without one when the user declines the size.
std::optional<DataMatrix> readCsv(RunHost& host, std::FILE* file, const std::string& name);
