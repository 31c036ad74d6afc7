#pragma once

#include <string>

#include "workloads.h"

// Whole `vantrel-cli map` (tiles 128 every 64, sides 5 to 31) on `path`, the median of `runs`,
// against whole `vantrel-cli analyse` over the same sides on the same file (in `literal`).
Timing timeMapCommand(const std::string& cli, const std::string& path, const std::string& work,
                      int runs);

// Whole `vantrel-cli map` on `path` (tiles 128 every 64) read in bands with `--memory
// memoryMiB`, the median of `runs`, against the same map in memory (in `literal`); the two .npy
// maps must be the same bytes.
Timing timeBandedMap(const std::string& cli, const std::string& path, const std::string& work,
                     const std::string& memoryMiB, int runs);
