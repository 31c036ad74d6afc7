// The loader's block-wise counting pass and its chunked, threaded reading pass against the
// literal loader (fgetc, then fscanf "%lf\t"), with blocks small enough to split values, lines
// and runs of blanks.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "literal_analysis.h"
#include "matrix_loader.h"
#include "random_matrix.h"
#include "scripted_host.h"
#include "temp_folder.h"

namespace {

// A load's outcome; R and C are the size the loader showed, whether or not it loaded.
struct Loaded {
    bool ok = false;
    int R = 0, C = 0;
    std::optional<DataMatrix> matrix;
    const double* const* rows = nullptr;
    std::vector<std::string> messages;
};

void load(const std::string& text, std::size_t blockSize, int threads, Loaded& loaded,
          bool comments = false) {
    std::string bytes = text;
#ifdef _WIN32  // no fmemopen: the bytes go through a temporary file
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
#else
    std::FILE* file = fmemopen(bytes.data(), bytes.size(), "r");
    ASSERT_NE(file, nullptr);
#endif
    ScriptedHost host;
    loaded.matrix = loadDataMatrixFrom(host, file, blockSize, threads, comments);
    std::fclose(file);
    loaded.ok = loaded.matrix.has_value();
    if (loaded.matrix) loaded.rows = loaded.matrix->rows();
    for (const std::string& call : host.calls)
        std::sscanf(call.c_str(), "size: Data rows: %d Data colums:%d", &loaded.R, &loaded.C);
    loaded.messages = host.messages;
}

}  // namespace

TEST(ChunkedLoader, ValuesAreTheLiteralLoadersForEveryBlockSizeAndThreadCount) {
    SKIP_WHERE_FSCANF_ROUNDS_WRONGLY();
    std::mt19937_64 random(41);
    TempFolder folder;
    for (int trial = 0; trial < 6; ++trial) {
        std::uniform_int_distribution<int> size(1, 70);
        LiteralMatrix values = randomMatrix(random, size(random), size(random));
        const std::string text = randomDataText(random, values);
        literalFree(&values);
        const std::string path = folder.write(std::to_string(trial) + ".txt", text);
        LiteralMatrix expected;
        ASSERT_EQ(literalLoad(path.c_str(), &expected), 1);
        for (std::size_t blockSize : {std::size_t{1}, std::size_t{7}, std::size_t{64},
                                      std::size_t{100}, std::size_t{1} << 20})
            for (int threads : {1, 2, 3}) {
                Loaded loaded;
                load(text, blockSize, threads, loaded);
                ASSERT_TRUE(loaded.ok) << "block " << blockSize << ", " << threads << " threads";
                ASSERT_EQ(loaded.R, expected.R);
                ASSERT_EQ(loaded.C, expected.C);
                for (int i = 0; i < expected.R; ++i)
                    ASSERT_EQ(
                        std::memcmp(loaded.rows[i], expected.rows[i], sizeof(double) * expected.C),
                        0)
                        << "row " << i << ", block " << blockSize << ", " << threads << " threads";
            }
        literalFree(&expected);
    }
}

// Two bad values a few chunks apart, so that one batch holds both for most block sizes.
TEST(ChunkedLoader, FirstBadValueInFileOrderIsReportedWhicheverChunkHoldsIt) {
    std::string text;
    for (int i = 0; i < 200; ++i) {
        for (int j = 0; j < 30; ++j) text += (i == 121 && j == 9) ? "x1 " : "1.5 ";
        text += i == 120 ? "2,5\n" : "2.5\n";
    }
    for (std::size_t blockSize : {std::size_t{16}, std::size_t{24}, std::size_t{40},
                                  std::size_t{333}, std::size_t{1} << 20})
        for (int threads : {1, 3}) {
            Loaded loaded;
            load(text, blockSize, threads, loaded);
            EXPECT_FALSE(loaded.ok);
            EXPECT_EQ(loaded.rows, nullptr);
            ASSERT_EQ(loaded.messages.size(), 1u);
            EXPECT_EQ(loaded.messages[0],
                      "The value \"2,5\" in row 121, column 31 is not a number");
        }
}

TEST(ChunkedLoader, CountingStopsAtNulAndColumnErrorsNameTheirRowAcrossBlocks) {
    std::string rows;
    for (int i = 0; i < 40; ++i) rows += "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20\n";
    const char nulLine[] = "1 2 3\0 junk after the NUL is never read\n";
    const std::string withNul = rows + std::string(nulLine, sizeof nulLine - 1) + rows;
    const std::string shortRow = rows + "\n\n1 2 3\n" + rows;
    for (std::size_t blockSize : {std::size_t{5}, std::size_t{64}, std::size_t{1} << 20}) {
        Loaded nul;
        load(withNul, blockSize, 2, nul);
        EXPECT_TRUE(nul.ok);
        EXPECT_EQ(nul.R, 40);
        EXPECT_EQ(nul.C, 20);
        EXPECT_EQ(nul.rows[39][19], 20.0);

        Loaded wrong;
        load(shortRow, blockSize, 2, wrong);
        EXPECT_FALSE(wrong.ok);
        EXPECT_EQ(wrong.R, 40);
        ASSERT_EQ(wrong.messages.size(), 1u);
        EXPECT_EQ(wrong.messages[0], "The number of columns of row 41 is wrong (3 against 20)");
    }
}

// Comments as numpy.loadtxt reads them, wherever they stand, with blocks that cut a comment,
// its '#' or the line feed that ends it; the run's reading (no comments) loads none of them.
TEST(ChunkedLoader, CommentsAnywhereAreLeftOutForEveryBlockSize) {
    const std::string tail = "# the last line, with no line feed";
    const struct {
        const char* name;
        std::string text;
        int R, C;
        std::vector<double> values;  // in file order; empty where the load fails
        const char* message;
    } cases[] = {
        {"comment lines between rows",
         "1 2\n# between\n  # indented\n3 4\n",
         2,
         2,
         {1, 2, 3, 4},
         ""},
        {"comments after values",
         "1 2 # first\n3 4#second#third\r\n5 6\n" + tail,
         3,
         2,
         {1, 2, 3, 4, 5, 6},
         ""},
        {"a long comment across blocks",
         "1\n#" + std::string(300, 'x') + " 7 8\n2\n",
         2,
         1,
         {1, 2},
         ""},
        {"a NUL in a comment is a blank",
         std::string("1 2 #\0 x\n3 4\n", 13),
         2,
         2,
         {1, 2, 3, 4},
         ""},
        {"a comment that hides a column",
         "1 2\n3 # 4\n",
         0,
         0,
         {},
         "The number of columns of row 2 is wrong (1 against 2)"},
        {"a '#' inside a value ends it",
         "1e#3 2\n",
         1,
         1,
         {},
         "The value \"1e\" in row 1, column 1 "
         "is not a number"},
    };
    for (const auto& c : cases)
        for (std::size_t blockSize :
             {std::size_t{1}, std::size_t{3}, std::size_t{64}, std::size_t{1} << 20})
            for (int threads : {1, 2}) {
                SCOPED_TRACE(std::string(c.name) + ", block " + std::to_string(blockSize));
                Loaded loaded;
                load(c.text, blockSize, threads, loaded, true);
                EXPECT_EQ(loaded.ok, c.values.size() > 0);
                EXPECT_EQ(loaded.messages, *c.message ? std::vector<std::string>{c.message}
                                                      : std::vector<std::string>{});
                if (!loaded.ok) continue;
                ASSERT_EQ(loaded.R * loaded.C, static_cast<int>(c.values.size()));
                EXPECT_EQ(loaded.R, c.R);
                for (int k = 0; k < c.R * c.C; ++k)
                    EXPECT_EQ(loaded.rows[k / c.C][k % c.C], c.values[static_cast<std::size_t>(k)]);
                Loaded strict;
                load(c.text, blockSize, threads, strict);
                EXPECT_FALSE(strict.ok && strict.R == c.R && strict.C == c.C);
            }
}
