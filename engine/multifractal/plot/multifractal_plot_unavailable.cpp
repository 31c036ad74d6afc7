// The plot where the build found no cairo (the Windows programs): a message that says why.
#include "multifractal_plot.h"

bool drawMultifractalPlot(const MultifractalResult&, const std::string& path, std::string& error) {
    error = "Cannot draw " + path + ": this build of Vantrel has no cairo, which plots need";
    return false;
}
