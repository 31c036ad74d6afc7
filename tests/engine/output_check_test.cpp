// The check that no output is an input: it goes by the file, not by the name.

#include "output_check.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_folder.h"

namespace fs = std::filesystem;

TEST(OutputCheck, AnOutputThatIsAnInputIsNamedWithBoth) {
    TempFolder folder;
    const std::string data = folder.write("data.txt", "1 2\n");
    const std::string other = folder.write("other.txt", "3 4\n");
    // Windows may refuse links to a user without the right; their rows then go unchecked there.
    std::error_code noSymlink, noHardLink;
    fs::create_symlink(data, folder.path("link.txt"), noSymlink);
    fs::create_hard_link(data, folder.path("hard.txt"), noHardLink);
    fs::create_directory(folder.path("sub"));
    const std::string dotted = folder.path("sub/../data.txt");

    struct Case {
        const char* what;
        std::vector<std::string> inputs, outputs;
        std::string clash;  // the output and input named, or "" when there is none
    };
    const Case cases[] = {
        {"the same name", {data}, {data}, data + "|" + data},
        {"a symbolic link to the input",
         {data},
         {folder.path("link.txt")},
         folder.path("link.txt") + "|" + data},
        {"a hard link to the input",
         {data},
         {folder.path("hard.txt")},
         folder.path("hard.txt") + "|" + data},
        {"another spelling of the input's path", {data}, {dotted}, dotted + "|" + data},
        {"the second input", {other, data}, {folder.path("missing.txt"), data}, data + "|" + data},
        {"a file of its own", {data}, {other}, ""},
        {"an output not made yet", {data}, {folder.path("new.txt")}, ""},
        {"an input that does not exist", {folder.path("gone.txt")}, {data}, ""},
        {"empty names", {"", data}, {""}, ""},
    };
    for (const Case& c : cases) {
        if ((noSymlink && c.outputs[0] == folder.path("link.txt")) ||
            (noHardLink && c.outputs[0] == folder.path("hard.txt")))
            continue;
        const auto clash = outputThatIsAnInput(c.inputs, c.outputs);
        if (c.clash.empty()) {
            EXPECT_FALSE(clash) << c.what << ": " << *clash;
            continue;
        }
        const std::size_t bar = c.clash.find('|');
        EXPECT_EQ(clash.value_or(""), "The output file " + c.clash.substr(0, bar) +
                                          " is the same file as the input " +
                                          c.clash.substr(bar + 1) + ": nothing was written")
            << c.what;
    }
}
