#pragma once

#include <string>

// The settings that configuration files save and load: the data file, the two window shifts and
// the description of the window areas.
class AnalysisSettings {
  public:
    std::string inputFile;
    double nShift = 0.0;
    double mShift = 0.0;
    int from = 0;
    int to = 0;
    int step = 0;
    int progressionType = -1;  // 0 linear, 1 log, -1 none chosen
    int useProgressionFile = 0;
    std::string progressionFile;

    AnalysisSettings() { reset(); }
    virtual ~AnalysisSettings() = default;

    void reset();

    // Configuration files (config/config_file.cpp). readConfig returns false, changing nothing,
    // when the file cannot be opened; writeConfig returns false when the file cannot be written
    // whole, and then leaves any existing file as it was.
    bool readConfig(std::string path);
    bool writeConfig(std::string path) const;
};

// Switches of a run that are never saved.
struct RunOptions {
    int generateSurfaces = 0;
    int optimise = 1;
    int outputPrecision = 5;
    int normalise = 0;
};
