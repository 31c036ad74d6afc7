// The loader's conversation with its host: the size is shown, then asked about; a ragged row is
// named before the question, and whatever the answer nothing is loaded. What files load to is
// in the bad-input suite (tests/reliability) and the chunked loader's tests (tests/perf).

#include "matrix_loader.h"

#include <gtest/gtest.h>

#include "scripted_host.h"
#include "temp_folder.h"

namespace {

using Calls = std::vector<std::string>;

struct Load {
    ScriptedHost host;
    std::optional<DataMatrix> matrix;
    bool ok = false;

    Load(const std::string& content, std::deque<bool> answers) {
        TempFolder folder;
        host.answers = std::move(answers);
        matrix = loadDataMatrix(host, folder.write("data.txt", content));
        ok = matrix.has_value();
    }
};

}  // namespace

TEST(LoadDataMatrix, ShowsTheSizeAsksAndLoadsOnlyOnYes) {
    struct Case {
        const char* text;
        bool answer, ok;
        Calls calls;
    };
    const std::string size23 = "Data rows: 2 Data colums:3";
    const std::string size12 = "Data rows: 1 Data colums:2";
    const Case cases[] = {
        {"1 2 3\n4 5 6",
         true,
         true,
         {"begin", "size: " + size23, "ask: " + size23 + "\nContinue?", "end"}},
        {"1 2 3\n4 5 6",
         false,
         false,
         {"begin", "size: " + size23, "ask: " + size23 + "\nContinue?", "end"}},
        {"1 2\n\n3\n",
         true,
         false,
         {"begin", "message: The number of columns of row 2 is wrong (1 against 2)",
          "size: " + size12, "ask: " + size12 + "\nContinue?", "end"}},
        {"",
         false,
         false,
         {"begin", "size: Data rows: 0 Data colums:0", "ask: Data rows: 0 Data colums:0\nContinue?",
          "end"}},
    };
    for (const Case& c : cases) {
        Load load(c.text, {c.answer});
        EXPECT_EQ(load.ok, c.ok) << c.text;
        EXPECT_EQ(load.ok && load.matrix->hasStorage(), c.ok) << c.text;
        EXPECT_EQ(load.host.calls, c.calls) << c.text;
    }
    Load yes("1 2 3\n4 5 6", {true});
    ASSERT_TRUE(yes.matrix);
    EXPECT_EQ((*yes.matrix)[1][2], 6.0);
    EXPECT_EQ(yes.matrix->rowCount(), 2);
    EXPECT_EQ(yes.matrix->columnCount(), 3);
    // The rows before a ragged one are the size shown.
    std::string tenLines;
    for (int k = 1; k <= 10; ++k) tenLines += k == 5 ? "1 2\n" : "1 2 3\n";
    Load ragged(tenLines, {false});
    EXPECT_EQ(ragged.host.messages, Calls{"The number of columns of row 5 is wrong (2 against 3)"});
    EXPECT_EQ(ragged.host.calls[2], "size: Data rows: 4 Data colums:3");
}

// The run reads every line as data; when a row is ragged because a word stands among the
// numbers, the message names the first such word too.
TEST(LoadDataMatrix, ARaggedRowNamesTheFirstWordThatIsNotANumber) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"# Channel: Height\n# Width: 5.000 um\n1 2 3\n",
         "The number of columns of row 2 is wrong (4 against 3)\nRow 1 holds \"#\", which is not "
         "a number; lines beginning with # are read as comments by vantrel-cli analyse and fit, "
         "not by the run"},
        {"1 2\n3 n/a\n5\n",
         "The number of columns of row 3 is wrong (1 against 2)\nRow 2 holds \"n/a\", which is "
         "not a number"},
        {"1 2\n3\nword\n", "The number of columns of row 2 is wrong (1 against 2)"},
    };
    for (const auto& c : cases) {
        Load load(c.text, {true});
        EXPECT_FALSE(load.ok);
        EXPECT_EQ(load.host.messages, Calls{c.message}) << c.text;
    }
}
