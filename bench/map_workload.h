#pragma once

#include <string>

#include "workloads.h"

// Whole `vantrel-cli map` (tiles 128 every 64, sides 5 to 31) on `path`, the median of `runs`,
// against whole `vantrel-cli analyse` over the same sides on the same file (in `literal`).
Timing timeMapCommand(const std::string& cli, const std::string& path, const std::string& work,
                      int runs);
