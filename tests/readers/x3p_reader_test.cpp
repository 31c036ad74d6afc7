// X3P files through loadSurfaceFile: every value type, the inline list, the pixel size and what
// is said on the way; and every way such a file can be refused, before the size question where
// the header already shows it.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "scripted_host.h"
#include "surface_file.h"
#include "temp_folder.h"
#include "x3p_bytes.h"

namespace {

const double kNan = std::nan("");
// Quarters: exact in every value type once divided by the increment 0.25.
const Grid kGrid = {{1.25, -2.5, 3, 0.75}, {4, 5.5, -6.25, 7}, {8, 9, 10.5, -11}};

std::string sur(const std::string& record3, const std::string& dataType = "D",
                const std::string& xType = "I") {
    return x3pDocument("SUR",
                       x3pAxis("CX", xType, "D", 1e-6) + x3pAxis("CY", "I", "D", 1e-6) +
                           "<CZ><AxisType>A</AxisType><DataType>" + dataType + "</DataType></CZ>",
                       record3);
}

const std::string kLink = "<DataLink><PointDataLink>bindata/data.bin</PointDataLink></DataLink>";

const std::string kHugeList =
    sur(x3pSizes(100000, 100000) + "<DataList><Datum>1</Datum></DataList>");

// main.xml and a data file of `bytes` bytes.
std::string withData(const std::string& document, std::size_t bytes) {
    return zipOf({{"main.xml", document}, {"bindata/data.bin", std::string(bytes, '\0')}});
}

struct GoodCase {
    const char* name;
    std::function<std::string()> bytes;
    Grid expected;
    double dx, dy;
    const char* note;  // after "PATH: "; "" for none
    const char* fileName = "s.x3p";
    ReadOptions options = {};
};

const GoodCase kGood[] = {
    {"float64", [] { return x3pOf(kGrid); }, kGrid, 1e-6, 1e-6, ""},
    {"float32", [] { return x3pOf(kGrid, {'F'}); }, kGrid, 1e-6, 1e-6, ""},
    {"int16 scaled by CZ's increment",
     [] {
         return x3pOf(kGrid, {'I', 1e-6, 1e-6, 0.25});
     },
     kGrid, 1e-6, 1e-6, ""},
    {"int32 scaled by CZ's increment",
     [] {
         return x3pOf(kGrid, {'L', 1e-6, 1e-6, 0.25});
     },
     kGrid, 1e-6, 1e-6, ""},
    {"inline DataList with an empty Datum, missing values kept",
     [] {
         Grid holes = kGrid;
         holes[1][2] = kNan;
         return x3pOf(holes, {'D', 1e-6, 1e-6, 1.0, true});
     },
     {{1.25, -2.5, 3, 0.75}, {4, 5.5, kNan, 7}, {8, 9, 10.5, -11}},
     1e-6,
     1e-6,
     "",
     "s.x3p",
     {SurfaceFormat::kAuto, 1, false, true}},
    {"pixels twice as high as wide",
     [] {
         return x3pOf(kGrid, {'D', 1e-6, 2e-6});
     },
     kGrid, 1e-6, 2e-6,
     "its points are 1e-06 m apart in X and 2e-06 m in Y, so its cells are not square; lengths "
     "are told in cells of 1.41421e-06 m, their geometric mean"},
    {"under another name, by its first bytes", [] { return x3pOf(kGrid); }, kGrid, 1e-6, 1e-6, "",
     "s.dat"},
    {"a valid points file marking point 6 (row 2, column 2) invalid",
     [] {
         const std::string link =
             "<DataLink><PointDataLink>bindata/data.bin</PointDataLink>"
             "<ValidPointsLink>bindata/valid.bin</ValidPointsLink></DataLink>";
         return zipOf(
             {{"main.xml", sur(x3pSizes(4, 3) + link, "L")},
              {"bindata/data.bin", x3pValues({{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 1, 2, 3}}, 'L')},
              {"bindata/valid.bin", std::string("\xDF\x0F", 2)}});
     },
     {{1, 2, 3, 4}, {5, kNan, 7, 8}, {9, 1, 2, 3}},
     1e-6,
     1e-6,
     "",
     "s.x3p",
     {SurfaceFormat::kAuto, 1, false, true}},
    {"a data file longer than its values",
     [] {
         return zipOf({{"main.xml", sur(x3pSizes(4, 3) + kLink)},
                       {"bindata/data.bin", x3pValues(kGrid, 'D') + "tail"}});
     },
     kGrid, 1e-6, 1e-6,
     "bindata/data.bin holds 4 bytes more than its values need; they were not read"},
    {"checksums that do not match: said, the values read all the same",
     [] {
         const std::string values = x3pValues(kGrid, 'D');
         const std::string link =
             "<DataLink><PointDataLink>bindata/data.bin</PointDataLink>"
             "<MD5ChecksumPointData>" +
             md5Hex("other") + "</MD5ChecksumPointData></DataLink>";
         return zipOf({{"main.xml", sur(x3pSizes(4, 3) + link)},
                       {"bindata/data.bin", values},
                       {"md5checksum.hex", md5Hex("another") + " *main.xml\n"}});
     },
     kGrid, 1e-6, 1e-6,
     "bindata/data.bin does not match its MD5 checksum in main.xml; the file may be damaged; "
     "main.xml does not match its MD5 checksum in md5checksum.hex; the file may be damaged"},
};

void PrintTo(const GoodCase& c, std::ostream* out) {
    *out << c.name;
}

class X3pFiles : public testing::TestWithParam<GoodCase> {};

TEST_P(X3pFiles, GiveTheGridWithItsPixelSizeInMetres) {
    const GoodCase& c = GetParam();
    TempFolder folder;
    const std::string path = folder.write(c.fileName, c.bytes());
    ScriptedHost host;
    const auto matrix = loadSurfaceFile(host, path, c.options);
    ASSERT_TRUE(matrix) << (host.messages.empty() ? "" : host.messages[0]);
    const std::vector<std::string> said =
        *c.note ? std::vector<std::string>{path + ": " + c.note} : std::vector<std::string>{};
    EXPECT_EQ(host.messages, said);
    ASSERT_EQ(matrix->rowCount(), 3);
    ASSERT_EQ(matrix->columnCount(), 4);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j) {
            const double want = c.expected[i][j];
            if (std::isnan(want))
                EXPECT_TRUE(std::isnan((*matrix)[i][j])) << i << "," << j;
            else
                EXPECT_EQ((*matrix)[i][j], want) << i << "," << j;
        }
    EXPECT_EQ(matrix->units.pixelWidth, c.dx);
    EXPECT_EQ(matrix->units.pixelHeight, c.dy);
    EXPECT_EQ(matrix->units.lateralUnit, "m");
    EXPECT_EQ(matrix->units.valueUnit, "m");
}

INSTANTIATE_TEST_SUITE_P(, X3pFiles, testing::ValuesIn(kGood));

struct BadCase {
    const char* name;
    std::function<std::string()> bytes;
    std::string message;  // after "PATH: "
    bool asked = false;   // the fault shows only once the values are read
};

const BadCase kBad[] = {
    {"not a zip archive", [] { return std::string("1 2\n3 4\n"); },
     "is not a zip archive, as an .x3p file is"},
    {"a zip archive without main.xml",
     [] {
         return zipOf({{"readme.txt", "hello"}});
     },
     "is a zip archive without main.xml, so it is not an X3P surface file"},
    {"a profile", [] { return withData(x3pDocument("PRF", "", x3pSizes(4, 1) + kLink), 32); },
     "is a profile (FeatureType PRF), not a surface; only surfaces (FeatureType SUR) can be "
     "analysed"},
    {"a point cloud", [] { return withData(x3pDocument("PCL", "", x3pSizes(4, 1) + kLink), 96); },
     "is a point cloud (FeatureType PCL), not a surface on a grid; only surfaces (FeatureType "
     "SUR) can be analysed"},
    {"absolute X coordinates", [] { return withData(sur(x3pSizes(4, 3) + kLink, "D", "A"), 96); },
     "has absolute coordinates on its CX axis (AxisType A); only surfaces on a grid, with "
     "incremental X and Y axes (AxisType I), can be analysed"},
    {"two layers", [] { return withData(sur(x3pSizes(4, 3, 2) + kLink), 192); },
     "has SizeZ = 2 layers; only one layer (SizeZ = 1) can be analysed"},
    {"a data file shorter than the grid", [] { return withData(sur(x3pSizes(4, 3) + kLink), 95); },
     "holds 95 bytes in bindata/data.bin, fewer than its 3 x 4 points (SizeY x SizeX) of 8 bytes "
     "need"},
    // Refused before the question: nothing of 10^10 cells is allocated.
    {"a huge grid declared over a small data file",
     [] { return withData(sur(x3pSizes(100000, 100000) + kLink, "F"), 64); },
     "holds 64 bytes in bindata/data.bin, fewer than its 100000 x 100000 points (SizeY x SizeX) "
     "of 4 bytes need"},
    {"a data file declared far larger than its packed bytes",
     [] {
         std::string archive = withData(sur(x3pSizes(4, 3) + kLink), 96);
         // The second central directory entry's unpacked size (bytes 24 to 27 of it).
         const std::size_t entry = archive.find("PK\x01\x02", archive.find("PK\x01\x02") + 4);
         archive.replace(entry + 24, 4, "\xF0\xFF\xFF\x7F");
         return archive;
     },
     "holds bindata/data.bin declared as 2147483632 bytes unpacked from 6, more than the "
     "archive can hold; it is damaged"},
    {"a DataList grid larger than main.xml can list",
     [] {
         return zipOf({{"main.xml", kHugeList}});
     },
     "declares 100000 x 100000 points (SizeY x SizeX), more than the " +
         std::to_string(kHugeList.size()) + " bytes of its main.xml can list"},
    {"a data file the archive does not hold",
     [] {
         return zipOf({{"main.xml", sur(x3pSizes(4, 3) + kLink)}});
     },
     "holds no bindata/data.bin in its archive"},
    {"an encrypted data file",
     [] {
         return zipOf({{"main.xml", sur(x3pSizes(4, 3) + kLink)},
                       {"bindata/data.bin", std::string(96, '\0'), true}});
     },
     "holds bindata/data.bin encrypted; save the file again without a password"},
    {"a value type that is not one", [] { return withData(sur(x3pSizes(4, 3) + kLink, "Q"), 96); },
     "has the CZ DataType \"Q\"; I, L, F or D is expected"},
    {"main.xml that is not well-formed",
     [] { return withData("<p:ISO5436_2><Record1></Record3>", 8); },
     "has a main.xml that is not well-formed XML (line 1: mismatched tag)"},
    {"main.xml of another document", [] { return withData("<html></html>", 8); },
     "has a main.xml whose root element is <html>, not the <ISO5436_2> of a surface file"},
    {"a size that is not a number",
     [] {
         return withData(sur("<MatrixDimension><SizeX>four</SizeX></MatrixDimension>" + kLink), 96);
     },
     "has a main.xml whose Record3/MatrixDimension/SizeX \"four\" does not read as a number"},
    {"neither a data link nor a list", [] { return withData(sur(x3pSizes(4, 3)), 96); },
     "has neither a PointDataLink to its values nor a DataList of them"},
    {"a DataList shorter than the grid",
     [] {
         return zipOf({{"main.xml", sur(x3pSizes(2, 2) + "<DataList><Datum>1</Datum><Datum>2"
                                                         "</Datum></DataList>")}});
     },
     "has 2 Datum values in its DataList, fewer than its 2 x 2 points (SizeY x SizeX)", true},
    {"a Datum that is not a number",
     [] {
         return zipOf({{"main.xml", sur(x3pSizes(1, 1) + "<DataList><Datum>1;2;3</Datum>"
                                                         "</DataList>")}});
     },
     "has the Datum \"1;2;3\" in its DataList, which does not read as a number", true},
    {"NaN in float32 data, the shared rule for missing values",
     [] {
         return x3pOf({{1, 2}, {kNan, 4}}, {'F'});
     },
     "1 of 4 cells hold no value; the first is in row 2, column 1 (--crop-valid keeps the "
     "largest rectangle without them)",
     true},
};

void PrintTo(const BadCase& c, std::ostream* out) {
    *out << c.name;
}

class X3pRefusals : public testing::TestWithParam<BadCase> {};

TEST_P(X3pRefusals, NameTheFileAndWhatIsWrong) {
    const BadCase& c = GetParam();
    TempFolder folder;
    const std::string path = folder.write("s.x3p", c.bytes());
    ScriptedHost host;
    EXPECT_FALSE(loadSurfaceFile(host, path, {}));
    EXPECT_EQ(host.messages, std::vector<std::string>{path + ": " + c.message});
    bool asked = false;
    for (const std::string& call : host.calls) asked = asked || call.rfind("ask: ", 0) == 0;
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(host.waitCursorDepth, 0);
}

INSTANTIATE_TEST_SUITE_P(, X3pRefusals, testing::ValuesIn(kBad));

// --format x3p on an archive whose first entry is not main.xml (so no signature shows it).
TEST(X3pFormat, ForcedOnAnotherNameReadsTheArchive) {
    TempFolder folder;
    const std::string document = sur(x3pSizes(4, 3) + kLink);
    const std::string path = folder.write(
        "s.zip", zipOf({{"bindata/data.bin", x3pValues(kGrid, 'D')}, {"main.xml", document}}));
    ScriptedHost forced;
    const auto matrix = loadSurfaceFile(forced, path, {SurfaceFormat::kX3p});
    ASSERT_TRUE(matrix);
    EXPECT_EQ((*matrix)[2][3], -11.0);
}

}  // namespace
