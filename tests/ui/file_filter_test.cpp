#include "file_filter.h"

#include <gtest/gtest.h>

TEST(FileFilter, SplitsPairsUpToTheClosingBars) {
    auto entries = parseFileFilter("Data files (*.txt)|*.txt|All files (*.*)|*.*||");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].description, "Data files (*.txt)");
    EXPECT_EQ(entries[0].pattern, "*.txt");
    EXPECT_EQ(entries[1].description, "All files (*.*)");
    EXPECT_EQ(entries[1].pattern, "*.*");
}

// GTK matches patterns case-sensitively, and "*.*" would hide files without an extension.
TEST(FileFilter, DesktopPatternsShowEveryFileTheyMean) {
    EXPECT_EQ(desktopPattern("*.*"), "*");
    EXPECT_EQ(desktopPattern("*.txt"), "*.[tT][xX][tT]");
    EXPECT_EQ(desktopPattern("*.txt;*.DAT"), "*.[tT][xX][tT];*.[dD][aA][tT]");
    EXPECT_EQ(desktopWildcard("Configuration files (*.txt)|*.txt|All files (*.*)|*.*||"),
              "Configuration files (*.txt)|*.[tT][xX][tT]|All files (*.*)|*");
}
