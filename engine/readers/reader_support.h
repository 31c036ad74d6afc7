#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "data_matrix.h"
#include "run_host.h"

// What every reader other than the text matrix's shares: the size question, messages that name
// the file, and the file's size.

// Shows "Data rows: R Data colums:C" in the size label, asks it followed by "\nContinue?", and
// on Yes returns the zeroed R x C matrix; nothing, with nothing allocated, on No.
std::optional<DataMatrix> confirmSizeAndAllocate(RunHost& host, int R, int C);

// Tells the user what is wrong with the file: "NAME: what". Always returns false, so that a
// reader can `return fileProblem(...)`.
bool fileProblem(RunHost& host, const std::string& name, const std::string& what);
// The same for a reader that returns its matrix: nothing, after telling the user.
std::nullopt_t fileRefused(RunHost& host, const std::string& name, const std::string& what);

// A 2-D grid's declared size: false, with `what` saying why, when a side is negative or does
// not fit the int counts that the matrix carries. A grid without cells becomes 0 x 0, as a text
// matrix without values is, so that no table of empty rows is allocated for it.
bool gridSizeFits(long long& rows, long long& columns, std::string& what);

// "3 x 4".
std::string sizeText(long long rows, long long columns);

// Little-endian float32 at p, as a double.
double float32LittleEndian(const unsigned char* p);
