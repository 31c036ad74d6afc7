#include "analysis_settings.h"

void AnalysisSettings::reset() {
    inputFile.clear();
    nShift = 0.0;
    mShift = 0.0;
    from = 0;
    to = 0;
    step = 0;
    progressionType = -1;
    useProgressionFile = 0;
    progressionFile.clear();
}
