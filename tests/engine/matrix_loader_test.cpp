#include "matrix_loader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "scripted_host.h"
#include "temp_folder.h"

namespace {

// Loads text through a scripted host and keeps what the loader reported.
struct Load {
    ScriptedHost host;
    RowTable rows = nullptr;
    int R = -1, C = -1;
    bool ok = false;

    Load(const std::string& content, std::deque<bool> answers = {}) {
        TempFolder folder;
        host.answers = std::move(answers);
        ok = loadDataMatrix(host, folder.write("data.txt", content), rows, R, C);
    }
    ~Load() { freeMatrix(rows, R, C); }
};

const std::string kQuestion23 = "ask: Data rows: 2 Data colums:3\nContinue?";

}  // namespace

TEST(LoadDataMatrix, ShowsTheSizeAsksAndReadsTheValues) {
    Load load("1 2 3\n4 5 6");
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(load.R, 2);
    EXPECT_EQ(load.C, 3);
    EXPECT_EQ(load.host.calls, (std::vector<std::string>{
                                   "begin", "size: Data rows: 2 Data colums:3", kQuestion23, "end"}));
    EXPECT_EQ(load.rows[0][0], 1.0);
    EXPECT_EQ(load.rows[1][2], 6.0);
}

TEST(LoadDataMatrix, TabsCarriageReturnsAndBlankLinesDoNotCount) {
    for (const char* text : {"1\t2\t3\t\n4\t5\t6\t\n\n", "1 2 3\r\n4 5 6\r\n", "\n\n  1 2 3\n\n \t\n4 5 6\n\n",
                             "1 2 3\n4 5 6\n"}) {
        Load load(text);
        ASSERT_TRUE(load.ok) << text;
        EXPECT_EQ(load.R, 2) << text;
        EXPECT_EQ(load.C, 3) << text;
        EXPECT_EQ(load.rows[1][0], 4.0) << text;
    }
}

TEST(LoadDataMatrix, ARaggedRowIsNamedByItsDataLineAndBothAnswersFail) {
    Load load("1 2\n\n3\n", {true});
    EXPECT_FALSE(load.ok);
    EXPECT_EQ(load.rows, nullptr);
    EXPECT_EQ(load.host.calls,
              (std::vector<std::string>{"begin",
                                        "message: The number of columns of row 2 is wrong (1 against 2)",
                                        "size: Data rows: 1 Data colums:2",
                                        "ask: Data rows: 1 Data colums:2\nContinue?", "end"}));

    std::string tenLines;
    for (int k = 1; k <= 10; ++k) tenLines += k == 5 ? "1 2\n" : "1 2 3\n";
    Load no(tenLines, {false});
    EXPECT_FALSE(no.ok);
    EXPECT_EQ(no.host.messages.front(), "The number of columns of row 5 is wrong (2 against 3)");
    EXPECT_EQ(no.R, 4);
    EXPECT_EQ(no.C, 3);
}

TEST(LoadDataMatrix, EmptyOrBlankFileIsAMatrixWithoutRows) {
    for (const char* text : {"", " \n\t\r\n  "}) {
        Load load(text);
        ASSERT_TRUE(load.ok);
        EXPECT_EQ(load.R, 0);
        EXPECT_EQ(load.C, 0);
        EXPECT_NE(load.rows, nullptr);
        EXPECT_EQ(load.host.calls[1], "size: Data rows: 0 Data colums:0");
    }
    Load declined("", {false});
    EXPECT_FALSE(declined.ok);
    EXPECT_EQ(declined.rows, nullptr);
}

TEST(LoadDataMatrix, NoAnswerLoadsNothing) {
    Load load("1 2 3\n4 5 6", {false});
    EXPECT_FALSE(load.ok);
    EXPECT_EQ(load.rows, nullptr);
    EXPECT_EQ(load.R, 2);
    EXPECT_EQ(load.host.messages.size(), 0u);
    EXPECT_EQ(load.host.waitCursorDepth, 0);
}

