#include "map_workload.h"

#include <vector>

#include "bench_support.h"
#include "raster_inputs.h"

Timing timeMapCommand(const std::string& cli, const std::string& path, const std::string& work,
                      int runs) {
    const std::vector<std::string> analyse = {cli, "analyse", path, "--sides", "5:31"};
    const std::vector<std::string> map = {
        cli, "map", path, "--tile", "128", "--stride", "64", "--output", work + "/bench-map.npy"};
    Timing timing;
    bool ran = true;
    timing.literal = medianSeconds(runs, [&] { ran = runQuietly(analyse) && ran; });
    timing.vantrel = medianSeconds(runs, [&] { ran = runQuietly(map) && ran; });
    timing.same = ran;
    timing.check = ran ? "both ran" : "A COMMAND FAILED";
    return timing;
}
