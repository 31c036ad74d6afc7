// A matrix that does not fit in memory ends the run with a message, never with a crash.

#include <gtest/gtest.h>

#include <climits>

#include "child_process.h"
#include "data_matrix.h"
#include "folder_run.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;  // its shadow memory does not fit an address space limit
#else
constexpr bool kAddressSanitizer = false;
#endif

}  // namespace

// 2^30 rows of 2^31 - 1 columns come to exactly 2^64 bytes, which wrapped to 0 in the size check
// and let the allocation go ahead. It runs in a child with little address space, so that a
// regression fails fast instead of taking the machine's memory.
TEST(OutOfMemory, MatrixSizeCheckDoesNotWrapAround) {
    ChildLimits limits;
    if (!kAddressSanitizer) limits.addressSpace = 1u << 30;
    int status = exitStatusInChild(limits, [] {
        RowTable rows = nullptr;
        try {
            allocateMatrix(rows, 1 << 30, INT_MAX);
        } catch (const MatrixTooLarge& error) {
            std::string expected =
                "Not enough memory for a matrix of 1073741824 rows and 2147483647 columns";
            return error.what() == expected ? 0 : 1;
        } catch (const std::bad_alloc&) {
            return 2;  // tried to allocate
        }
        return 3;
    });
    EXPECT_EQ(status, 0);
}

TEST(OutOfMemory, ALoadBeyondMemoryEndsWithAMessageAndNothingWritten) {
    if (kAddressSanitizer)
        GTEST_SKIP() << "an address space limit does not apply under AddressSanitizer";
    TempFolder folder;
    std::string row;
    for (int k = 0; k < 4000000; ++k) row += "1 ";
    folder.write("big.txt", row);
    ChildLimits limits;
    limits.addressSpace = 24u << 20;  // the 32 MB matrix cannot fit
    ProgramRun run = runCli(
        folder.path(""), {"run", "--input", "big.txt", "--linear", "1", "1", "1", "--yes"}, limits);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Data rows: 1 Data colums:4000000\nOut of memory: std::bad_alloc\n");
    EXPECT_EQ(filesIn(folder.path("")).size(), 1u);
}
