// The header of comment lines before a text matrix: where the data begin, and the sizes and
// units it gives.

#include "text_header.h"

#include <gtest/gtest.h>

namespace {

struct HeaderCase {
    const char* name;
    std::string text;
    bool wholeFile;
    std::size_t dataOffset;
    int commentLines;
    double width, height;
    const char* lateralUnit;
    const char* valueUnit;
    const char* note = "";
};

const std::string kExport =
    "# Channel: Height\n# Width: 5.000 um\n# Height: 2.5 um\n# Value units: m\n";

const HeaderCase kCases[] = {
    {"no header", "1 2\n3 4\n", true, 0, 0, 0, 0, "", ""},
    {"an instrument's export", kExport + "1 2\n", false, kExport.size(), 4, 5.0, 2.5, "µm", "m"},
    {"blank lines and indented comments", "\n  # a\r\n\n\t#b\n1 2\n", false, 13, 2, 0, 0, "", ""},
    {"key = value, other names", "# X length = 3 nm\n# Y length = 4 nm\n# Z units = V\n1\n", false,
     50, 3, 3.0, 4.0, "nm", "V"},
    {"a size that does not read is left out",
     "# Width: wide\n# Height: -2 um\n# X length: 5,0 um\n1\n", false, 49, 3, 0, 0, "", ""},
    {"only comments, no line feed at the end", "# Width: 1 m\n# Height: 1 m", true, 26, 2, 1.0, 1.0,
     "m", ""},
    {"a comment line cut where the bytes end", "# Width: 1 m\n# Heig", false, 13, 1, 1.0, 0, "m",
     ""},
    {"a comment after the data is data's", "1 2\n# note\n", true, 0, 0, 0, 0, "", ""},
    // Units as instruments spell them, each shown by its symbol; a height in another known unit
    // is told in the width's.
    {"micrometres in Latin-1, nanometres", "# Width: 6 \xB5m\n# Height: 3000 NM\n# Z units: um\n",
     true, 46, 3, 6.0, 3.0, "µm", "µm"},
    {"ångströms, Greek mu", "# Width: 20 A\n# Height: 2 nm\n# Value units: μm\n", true, 48, 3, 20.0,
     20.0, "Å", "µm"},
    {"a value's A is the ampere", "# Width: 1 Micron\n# Height: 1e3 nm\n# Value units: A\n", true,
     52, 3, 1.0, 1.0, "µm", "A"},
    {"a unit right after the number", "# Width: 5.000um\n# Height: 2.5e3nm\n", true, 35, 2, 5.0,
     2.5, "µm", ""},
    {"the height's unit where only it has one", "# Width: 4\n# Height: 2 mm\n", true, 26, 2, 4.0,
     2.0, "mm", ""},
    {"units that cannot be compared", "# Width: 4 px\n# Height: 2 mm\n", true, 29, 2, 0, 0, "", "",
     "the header gives the width in px and the height in mm, which cannot be compared: the pixel "
     "size is not known"},
};

TEST(TextHeader, ReadsTheCommentLinesBeforeTheData) {
    for (const HeaderCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const TextHeader header = readTextHeader(c.text, c.wholeFile);
        EXPECT_EQ(header.dataOffset, c.dataOffset);
        EXPECT_EQ(header.commentLines, c.commentLines);
        EXPECT_EQ(header.width, c.width);
        EXPECT_EQ(header.height, c.height);
        EXPECT_EQ(header.lateralUnit, c.lateralUnit);
        EXPECT_EQ(header.valueUnit, c.valueUnit);
        EXPECT_EQ(header.note, c.note);
    }
}

}  // namespace
