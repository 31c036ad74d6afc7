#include "data_matrix_file.h"

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

TEST(LoadDataMatrix, ANulByteEndsTheFileAndItsLineIsNotCounted) {
    Load load(std::string("1 2\n3 4\n5 \0 6\n7 8\n", 17));
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(load.R, 2);
    EXPECT_EQ(load.rows[1][1], 4.0);
}

TEST(LoadDataMatrix, NoAnswerLoadsNothing) {
    Load load("1 2 3\n4 5 6", {false});
    EXPECT_FALSE(load.ok);
    EXPECT_EQ(load.rows, nullptr);
    EXPECT_EQ(load.R, 2);
    EXPECT_EQ(load.host.messages.size(), 0u);
    EXPECT_EQ(load.host.waitCursorDepth, 0);
}

TEST(LoadDataMatrix, AValueThatIsNotANumberIsNamedWithItsRowAndColumn) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"1 2\n3 abc\n", "The value \"abc\" in row 2, column 2 is not a number"},
        {"1,5 2\n3 4\n", "The value \"1,5\" in row 1, column 1 is not a number"},
        {"\n\n1 2\n3 1.2.3\n", "The value \"1.2.3\" in row 2, column 2 is not a number"},
    };
    for (const Case& c : cases) {
        Load load(c.text);
        EXPECT_FALSE(load.ok) << c.text;
        EXPECT_EQ(load.rows, nullptr);
        ASSERT_EQ(load.host.messages.size(), 1u);
        EXPECT_EQ(load.host.messages[0], c.message);
        EXPECT_EQ(load.host.calls.back(), "end");
    }
}

TEST(LoadDataMatrix, AMissingFileOrAFolderShowsNothing) {
    TempFolder folder;
    for (const std::string& path : {folder.path("missing.txt"), folder.path("")}) {
        ScriptedHost host;
        RowTable rows = reinterpret_cast<RowTable>(&host);
        int R = 5, C = 5;
        EXPECT_FALSE(loadDataMatrix(host, path, rows, R, C));
        EXPECT_EQ(rows, nullptr);
        EXPECT_EQ(R, 0);
        EXPECT_EQ(C, 0);
        EXPECT_EQ(host.calls, (std::vector<std::string>{"begin", "end"}));
    }
}

TEST(LoadDataMatrix, ValuesAcrossLargeBlocksReadAsStrtodReadsThem) {
    // Long enough that values straddle the loader's block boundaries.
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> uniform(-1e6, 1e6);
    const int R = 300, C = 400;
    std::string text;
    std::vector<std::string> tokens;
    for (int i = 0; i < R; ++i) {
        for (int j = 0; j < C; ++j) {
            char token[64];
            std::snprintf(token, sizeof token, (i + j) % 3 ? "%.17g" : "%.6e", uniform(random));
            tokens.push_back(token);
            text += token;
            text += j + 1 < C ? " \t" : "\r\n";
        }
    }
    ASSERT_GT(text.size(), 2u << 20);
    Load load(text);
    ASSERT_TRUE(load.ok);
    ASSERT_EQ(load.R, R);
    ASSERT_EQ(load.C, C);
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j)
            ASSERT_EQ(load.rows[i][j], std::strtod(tokens[i * C + j].c_str(), nullptr));
}
