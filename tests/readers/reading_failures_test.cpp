// Every way an input file can be bad: a message that names the file and what is wrong with it,
// then "Error loading data", and nothing written.

#include <fnmatch.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "analysis_run.h"
#include "scripted_host.h"
#include "surface_bytes.h"
#include "temp_folder.h"

namespace {

const Grid kTwoByThree = {{1, 2, 3}, {4, 5, 6}};
const std::string kF8 = "{'descr': '<f8', 'fortran_order': False, 'shape': ";

std::string doubles(int count) {
    return std::string(8u * count, '\0');
}

// A GeoTIFF cut after `keep` bytes.
std::string truncatedTiff(const TempFolder& folder, std::size_t keep) {
    Grid big(64, std::vector<double>(64, 1.5));
    writeRaster(folder.path("whole.tif"), "GTiff", big);
    return readFile(folder.path("whole.tif")).substr(0, keep);
}

struct Failure {
    const char* name;
    const char* fileName;
    std::function<std::string(const TempFolder&)> bytes;
    ReadOptions options;
    const char* message;  // after "PATH: "; a trailing '*' matches any rest (GDAL's own words)
};

const Failure kFailures[] = {
    {"npy whose shape exceeds its data",
     "a.npy",
     [](auto&) { return npyFile(kF8 + "(4, 3), }", doubles(5)); },
     {},
     "declares 4 x 3 values of 8 bytes, but holds only 40 bytes of values"},
    {"npy whose shape overflows",
     "a.npy",
     [](auto&) { return npyFile(kF8 + "(99999999999, 99999999999), }", doubles(1)); },
     {},
     "the size 99999999999 x 99999999999 is out of range (at most 2147483646 rows and "
     "columns)"},
    {"npy whose rows times columns overflow 64 bits",
     "a.npy",
     [](auto&) { return npyFile(kF8 + "(2147483646, 2147483646), }", doubles(1)); },
     {},
     "declares 2147483646 x 2147483646 values of 8 bytes, but holds only 8 bytes of values"},
    // 12 + 0xFFFFFFF8 wraps to 4 in 32 bits.
    {"npy version 2 whose header length is near 4 GiB",
     "a.npy",
     [](auto&) { return std::string("\x93NUMPY\x02\x00\xF8\xFF\xFF\xFF{}", 14); },
     {},
     "claims a header of 4294967300 bytes, more than a .npy header can be"},
    {"npy of complex values",
     "a.npy",
     [](auto&) {
         return npyFile("{'descr': '<c8', 'fortran_order': False, 'shape': (1, 1)}", doubles(1));
     },
     {},
     "holds complex values ('<c8'); only real numbers can be analysed"},
    {"npy of a 3-D array",
     "a.npy",
     [](auto&) { return npyFile(kF8 + "(2, 2, 2), }", doubles(8)); },
     {},
     "holds a 3-D array; a 2-D array (rows, columns) is needed"},
    {"npy of strings",
     "a.npy",
     [](auto&) {
         return npyFile("{'descr': '<U3', 'fortran_order': False, 'shape': (1, 1)}", doubles(2));
     },
     {},
     "holds values of type '<U3'; float32, float64 and integer arrays can be read"},
    {"npy whose header length runs past the file",
     "a.npy",
     [](auto&) { return npyFile(kF8 + "(1, 1), }", doubles(1)).substr(0, 40); },
     {},
     "is cut short inside its header"},
    {"npy of format version 4",
     "a.npy",
     [](auto&) {
         std::string f = npyFile(kF8 + "(1, 1), }", doubles(1));
         f[6] = 4;
         return f;
     },
     {},
     "is a .npy file of format version 4; versions 1 to 3 can be read"},
    {"npy with NaN",
     "a.npy",
     [](auto&) {
         return npyOf<double>({{1, 2}, {3, std::nan("")}}, "<f8", false);
     },
     {},
     "1 of 4 cells hold no value; the first is in row 2, column 2 (--crop-valid keeps the "
     "largest rectangle without them)"},
    {"npy forced on a text file",
     "a.txt",
     [](auto&) { return std::string("1 2\n3 4\n"); },
     {SurfaceFormat::kNpy},
     "is not a .npy file (it does not begin with \\x93NUMPY)"},
    {"gsf without YRes",
     "a.gsf",
     [](auto&) { return gsfFile("XRes = 3\n", doubles(3)); },
     {},
     "gives no YRes (the number of rows) in its header"},
    {"gsf whose XRes x YRes exceeds its data",
     "a.gsf",
     [](auto&) { return gsfFile("XRes = 3\nYRes = 2\n", std::string(20, '\0')); },
     {},
     "declares 2 x 3 values (XRes x YRes) of 4 bytes, but holds only 20 bytes of values"},
    {"gsf with a negative XRes",
     "a.gsf",
     [](auto&) { return gsfFile("XRes = -3\nYRes = 2\n", doubles(3)); },
     {},
     "has the header line \"XRes = -3\", whose value does not read"},
    {"gsf cut short in its header",
     "a.gsf",
     [](auto&) { return std::string("Gwyddion Simple Field 1.0\nXRes = 3\n"); },
     {},
     "is cut short inside its header"},
    {"gsf forced on a file without the first line",
     "a.dat",
     [](auto&) { return std::string("XRes = 1\nYRes = 1\n\0\0\0\0\0\0", 24); },
     {SurfaceFormat::kGsf},
     "is not a GSF file (its first line is not \"Gwyddion Simple Field 1.0\")"},
    {"gwy forced on a text file",
     "a.txt",
     [](auto&) { return std::string("1 2\n3 4\n"); },
     {SurfaceFormat::kGwy},
     "is not a .gwy file (it does not begin with GWYP)"},
    {"gwy cut short",
     "a.gwy",
     [](auto&) { return gwyOf(kTwoByThree, 1, 1).substr(0, 150); },
     {},
     "is cut short inside its objects"},
    {"gwy cut inside its values",
     "a.gwy",
     [](auto&) {
         const std::string whole =
             gwyFile(gwyComponent("/0/data", 'o', gwyDataField(kTwoByThree, 1, 1, "m", "m")));
         return whole.substr(0, whole.size() - 20);  // the last values are gone
     },
     {},
     "is cut short inside its objects"},
    {"gwy without a channel",
     "a.gwy",
     [](auto&) { return gwyFile(gwyComponent("/0/data/title", 's', gwyText("Height"))); },
     {},
     "holds no image (no /N/data channel)"},
    {"gwy whose data holds fewer values than xres x yres",
     "a.gwy",
     [](auto&) {
         const std::string field =
             gwyObject("GwyDataField", gwyComponent("xres", 'i', gwyU32(3)) +
                                           gwyComponent("yres", 'i', gwyU32(2)) +
                                           gwyComponent("data", 'D', gwyU32(5) + doubles(5)));
         return gwyFile(gwyComponent("/0/data", 'o', field));
     },
     {},
     "declares 2 x 3 values (yres x xres), but its data holds 5"},
    {"gwy without yres",
     "a.gwy",
     [](auto&) {
         const std::string field =
             gwyObject("GwyDataField", gwyComponent("xres", 'i', gwyU32(3)) +
                                           gwyComponent("data", 'D', gwyU32(3) + doubles(3)));
         return gwyFile(gwyComponent("/0/data", 'o', field));
     },
     {},
     "gives no yres in its GwyDataField"},
    {"gwy whose channel is not a data field",
     "a.gwy",
     [](auto&) { return gwyFile(gwyComponent("/0/data", 'o', gwyObject("GwyGraphModel", ""))); },
     {},
     "holds a GwyGraphModel as its image, where a GwyDataField is expected"},
    {"gwy whose object overruns its container",
     "a.gwy",
     [](auto&) {
         std::string file = gwyOf(kTwoByThree, 1, 1);
         file[17] = static_cast<char>(0xff);  // the container's size, far beyond the file
         return file;
     },
     {},
     "is cut short inside its objects"},
    {"csv with a short row",
     "a.csv",
     [](auto&) { return std::string("1,2,3\n4,5\n"); },
     {},
     "the number of columns of row 2 is wrong (2 against 3)"},
    {"csv with a decimal comma",
     "a.csv",
     [](auto&) { return std::string("1;2,5\n3;4\n"); },
     {},
     "the value \"2,5\" in row 1, column 2 is not a number"},
    {"csv with an empty field",
     "a.csv",
     [](auto&) { return std::string("a,b\n1,2\n3,\n"); },
     {},
     "1 of 4 cells hold no value; the first is in row 2, column 2 (--crop-valid keeps the "
     "largest rectangle without them)"},
    // The NUL would glue "4," and "5,6" into one valid row 4,5,6.
    {"csv with a NUL byte inside a line",
     "a.csv",
     [](auto&) { return std::string("1,2,3\n\n4,\0junk\n5,6\n", 19); },
     {},
     "line 3 holds a NUL byte, which no CSV text holds"},
    {"csv with a NUL byte in its header line",
     "a.csv",
     [](auto&) { return std::string("x,\0y\n1,2\n", 9); },
     {},
     "line 1 holds a NUL byte, which no CSV text holds"},
    {"GeoTIFF without the band asked for",
     "a.tif",
     [](auto& f) {
         writeRaster(f.path("a.tif"), "GTiff", kTwoByThree);
         return readFile(f.path("a.tif"));
     },
     {SurfaceFormat::kAuto, 2},
     "has 1 band; there is no band 2"},
    {"GeoTIFF of complex values",
     "a.tif",
     [](auto& f) {
         writeRaster(f.path("a.tif"), "GTiff", kTwoByThree, GDT_CFloat32);
         return readFile(f.path("a.tif"));
     },
     {},
     "band 1 holds complex values; only real numbers can be analysed"},
    {"ESRI ASCII grid of nodata cells only, --crop-valid",
     "a.asc",
     [](auto&) {
         return std::string(
             "ncols 2\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
             "NODATA_value -9999\n-9999 -9999\n");
     },
     {SurfaceFormat::kAuto, 1, true},
     "2 of 2 cells hold no value: there is nothing to keep"},
    {"GeoTIFF cut short",
     "a.tif",
     [](auto& f) { return truncatedTiff(f, 9000); },
     {},
     "is cut short: row * of the band cannot be read"},
    {"a text matrix forced through GDAL",
     "a.txt",
     [](auto&) { return std::string("not a raster\n"); },
     {SurfaceFormat::kGdal},
     "is not a raster that GDAL can read*"},
};

// GDAL's own words vary between its versions: '*' in the expected text matches any of them.
bool matches(const std::string& text, const std::string& pattern) {
    return fnmatch(pattern.c_str(), text.c_str(), FNM_NOESCAPE) == 0;
}

}  // namespace

TEST(ReadingFailures, EachNamesTheFileAndWhatIsWrongAndWritesNothing) {
    for (const Failure& failure : kFailures) {
        SCOPED_TRACE(failure.name);
        TempFolder folder;
        AnalysisSettings settings;
        settings.inputFile = folder.write(failure.fileName, failure.bytes(folder));
        settings.from = settings.to = settings.step = 4;
        settings.progressionType = 0;
        ScriptedHost host;
        runAnalysis(settings, RunOptions{}, host, {}, failure.options);

        ASSERT_EQ(host.messages.size(), 2u);
        EXPECT_TRUE(matches(host.messages[0], settings.inputFile + ": " + failure.message))
            << host.messages[0];
        EXPECT_EQ(host.messages[1], "Error loading data");
        EXPECT_FALSE(fileExists(settings.inputFile + ".out.txt"));
        EXPECT_EQ(host.waitCursorDepth, 0);
    }
}
