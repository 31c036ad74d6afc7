// A matrix that does not fit in memory ends the run with a message, never with a crash.

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <thread>

#include "child_process.h"
#include "data_matrix.h"
#include "folder_run.h"
#include "matrix_loader.h"
#include "output_files.h"
#include "text_file.h"
#include "worker_pool.h"

namespace {

// Once armed, every allocation fails on the threads other than the one that armed it: those of
// a worker pool.
std::atomic<bool> failingOffTheArmingThread{false};
std::thread::id armingThread;

void failAllocationsOnOtherThreads() {
    armingThread = std::this_thread::get_id();
    failingOffTheArmingThread = true;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;  // its shadow memory does not fit an address space limit
#else
constexpr bool kAddressSanitizer = false;
#endif

}  // namespace

// Not inlined, so that the compiler does not take malloc and free behind new and delete for a
// mismatch.
[[gnu::noinline]] void* operator new(std::size_t size) {
    if (failingOffTheArmingThread && std::this_thread::get_id() != armingThread)
        throw std::bad_alloc();
    if (void* memory = std::malloc(size > 0 ? size : 1)) return memory;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* memory) noexcept {
    std::free(memory);
}
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

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

// The loader converts chunks and the surface writer formats pieces in pool tasks, which allocate
// (a value that is not a number is kept as text; a piece grows its buffer). An allocation that
// fails there reaches the caller as std::bad_alloc, which the program reports as out of memory,
// instead of ending the process.
TEST(OutOfMemory, AnAllocationThatFailsInAPoolTaskReachesTheCaller) {
    TempFolder folder;
    // Chunks long enough that the calling thread cannot convert them all before the workers
    // start, each with values that are not numbers.
    std::string data;
    for (int k = 1; k <= 300000; ++k) data += k % 1000 == 0 ? std::string(40, 'x') + "\n" : "1\n";
    const std::string dataPath = folder.write("data.txt", data);
    const std::string surfacePath = folder.path("surface.txt");
    auto load = [&] {
        ScriptedHost host;
        FileCloser file(std::fopen(dataPath.c_str(), "r"));
        loadDataMatrixFrom(host, file.get(), 1 << 16, 4);
    };
    auto writeSurface = [&] {
        WorkerPool pool(4);
        RowTable surface = nullptr;
        allocateMatrix(surface, 400, 400);
        zeroMatrix(surface, 400, 400);
        writeSurfaceFile(surfacePath, surface, 400, 400, &pool);
    };
    for (const auto& [name, work] :
         {std::pair<const char*, std::function<void()>>{"load", load}, {"surface", writeSurface}}) {
        // The calling thread may have taken every task; then try again.
        int status = 1;
        for (int attempt = 0; attempt < 20 && status == 1; ++attempt)
            status = exitStatusInChild({}, [&] {
                failAllocationsOnOtherThreads();
                try {
                    work();
                } catch (const std::bad_alloc&) {
                    return 0;
                }
                return 1;  // no allocation failed
            });
        EXPECT_EQ(status, 0) << name << (status < 0 ? ": the process was ended" : "");
    }
}
