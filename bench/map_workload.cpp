#include "map_workload.h"

#include <fstream>
#include <iterator>
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

namespace {

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

Timing timeBandedMap(const std::string& cli, const std::string& path, const std::string& work,
                     const std::string& memoryMiB, int runs) {
    const std::string whole = work + "/bench-map-whole.npy", banded = work + "/bench-map-bands.npy";
    const std::vector<std::string> inMemory = {
        cli, "map", path, "--tile", "128", "--stride", "64", "--output", whole, "--memory", "1e9"};
    const std::vector<std::string> inBands = {cli,    "map",      path,     "--tile",
                                              "128",  "--stride", "64",     "--output",
                                              banded, "--memory", memoryMiB};
    Timing timing;
    bool ran = true;
    timing.literal = medianSeconds(runs, [&] { ran = runQuietly(inMemory) && ran; });
    timing.vantrel = medianSeconds(runs, [&] { ran = runQuietly(inBands) && ran; });
    const std::string expected = bytesOf(whole);
    timing.same = ran && !expected.empty() && expected == bytesOf(banded);
    timing.check = !ran ? "A COMMAND FAILED" : timing.same ? "maps identical" : "MAPS DIFFER";
    return timing;
}
