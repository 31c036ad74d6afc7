#pragma once

#include <string>
#include <utility>
#include <vector>

// A results file may hold areas that give the same window side (areas 4 and 8 both give side 2
// with centred windows); the analysis keeps the first of them. One note for each such side, so
// that a reader who counts the points knows where the others went:
// "Areas 4 and 8 both give side 2: the point of side 2 is area 4's".
std::vector<std::string> sharedSideNotes(const std::vector<std::pair<int, double>>& areaResiduals);
