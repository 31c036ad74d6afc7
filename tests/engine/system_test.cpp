// The operating-system seam: file names in UTF-8 reach the file system whole, and files keep
// their bytes (no line ends rewritten), on every system.

#include "system.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_folder.h"
#include "text_file.h"

TEST(SystemSeam, NonAsciiNamesOpenReplaceAndKeepTheirBytes) {
    TempFolder folder;
    const std::string dir = folder.path("dati-\xC3\xA8");  // "dati-è" in UTF-8
    std::filesystem::create_directory(std::filesystem::u8path(dir));
    const std::string path = dir + "/grid \xE2\x82\xAC.txt";
    const std::string bytes =
        "1 2\n3 4\r\n\x1A"
        "5 6\n";

    std::FILE* file = openFile(path, "w");
    ASSERT_NE(file, nullptr);
    std::fputs(bytes.c_str(), file);
    std::fclose(file);
    std::string text;
    ASSERT_TRUE(readWholeTextFile(path, text));
    EXPECT_EQ(text, bytes);
    EXPECT_EQ(std::filesystem::file_size(std::filesystem::u8path(path)), bytes.size());

    ASSERT_TRUE(replaceFileAtomically(path, "new\n"));
    ASSERT_TRUE(readWholeTextFile(path, text));
    EXPECT_EQ(text, "new\n");
    EXPECT_FALSE(replaceFileAtomically(dir, "a folder is not replaced\n"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::u8path(dir)),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left behind
}
