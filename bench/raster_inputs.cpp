#include "raster_inputs.h"

#include <gdal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "bench_support.h"

namespace {

bool present(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && info.st_size > 0;
}

void writeText(const LiteralMatrix& data, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    for (int i = 0; file && i < data.R; ++i)
        for (int j = 0; j < data.C; ++j)
            std::fprintf(file, "%.9g%c", static_cast<double>(static_cast<float>(data.rows[i][j])),
                         j + 1 < data.C ? ' ' : '\n');
    if (file) std::fclose(file);
}

void writeNpy(const LiteralMatrix& data, const std::string& path) {
    std::string header = "{'descr': '<f4', 'fortran_order': False, 'shape': (" +
                         std::to_string(data.R) + ", " + std::to_string(data.C) + "), }";
    while ((10 + header.size() + 1) % 64 != 0) header += ' ';
    header += '\n';
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    const unsigned char preamble[10] = {0x93,
                                        'N',
                                        'U',
                                        'M',
                                        'P',
                                        'Y',
                                        1,
                                        0,
                                        static_cast<unsigned char>(header.size() & 0xff),
                                        static_cast<unsigned char>(header.size() >> 8)};
    std::fwrite(preamble, 1, sizeof preamble, file);
    std::fwrite(header.data(), 1, header.size(), file);
    std::vector<float> row(static_cast<std::size_t>(data.C));
    for (int i = 0; i < data.R; ++i) {
        for (int j = 0; j < data.C; ++j) row[j] = static_cast<float>(data.rows[i][j]);
        std::fwrite(row.data(), sizeof(float), row.size(), file);
    }
    std::fclose(file);
}

void writeGeoTiff(const LiteralMatrix& data, const std::string& path) {
    GDALAllRegister();
    GDALDatasetH dataset = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), data.C, data.R, 1,
                                      GDT_Float32, nullptr);
    if (!dataset) return;
    for (int i = 0; i < data.R; ++i)
        if (GDALRasterIO(GDALGetRasterBand(dataset, 1), GF_Write, 0, i, data.C, 1, data.rows[i],
                         data.C, 1, GDT_Float64, 0, 0) != CE_None)
            break;
    GDALClose(dataset);
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

bool runQuietly(const std::vector<std::string>& command) {
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stderr);
        std::freopen("/dev/null", "w", stdout);
        std::vector<char*> argv;
        for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

RasterInputs makeRasterInputs(const std::string& source, const std::string& folder,
                              const std::string& stem) {
    const RasterInputs inputs{folder + "/" + stem + ".txt", folder + "/" + stem + ".tif",
                              folder + "/" + stem + ".npy"};
    if (present(inputs.text) && present(inputs.geoTiff) && present(inputs.npy)) return inputs;
    std::printf("making %s.{txt,tif,npy}\n", stem.c_str());
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        LiteralMatrix data{nullptr, 0, 0};
        if (!literalLoad(source.c_str(), &data)) _exit(1);
        writeText(data, inputs.text);
        writeGeoTiff(data, inputs.geoTiff);
        writeNpy(data, inputs.npy);
        _exit(0);
    }
    int status = 0;
    if (child > 0) waitpid(child, &status, 0);
    return inputs;
}

std::string makeLargeGeoTiff(const std::string& folder, int R, int C) {
    const std::string path =
        folder + "/surface-" + std::to_string(R) + "x" + std::to_string(C) + "-f32.tif";
    if (present(path)) return path;
    std::printf("making %s\n", path.c_str());
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        GDALAllRegister();
        GDALDatasetH dataset =
            GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), C, R, 1, GDT_Float32, nullptr);
        if (!dataset) _exit(1);
        std::mt19937 bits(22);
        std::normal_distribution<double> normal(0.0, 1.0);
        std::vector<double> row(static_cast<std::size_t>(C), 0.0);
        for (int i = 0; i < R; ++i) {
            double along = 0.0;
            for (double& value : row) {
                along = 0.5 * along + normal(bits);
                value += along;
            }
            if (GDALRasterIO(GDALGetRasterBand(dataset, 1), GF_Write, 0, i, C, 1, row.data(), C, 1,
                             GDT_Float64, 0, 0) != CE_None)
                _exit(1);
        }
        GDALClose(dataset);
        _exit(0);
    }
    int status = 0;
    if (child > 0) waitpid(child, &status, 0);
    return path;
}

Timing timeWholeRun(const std::string& cli, const std::string& textPath, const std::string& path,
                    int runs) {
    auto command = [&](const std::string& input) {
        return std::vector<std::string>{cli, "run",     "--input", input, "--linear", "4",      "4",
                                        "1", "--shift", "0.5",     "0.5", "--yes",    "--quiet"};
    };
    Timing timing;
    bool ran = true;
    timing.literal = medianSeconds(runs, [&] { ran = runQuietly(command(textPath)) && ran; });
    timing.vantrel = medianSeconds(runs, [&] { ran = runQuietly(command(path)) && ran; });
    const std::string expected = fileText(textPath + ".out.txt");
    timing.same = ran && !expected.empty() && expected == fileText(path + ".out.txt");
    timing.check = timing.same ? "results files identical" : "RESULTS FILES DIFFER";
    return timing;
}
