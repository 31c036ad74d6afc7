#include "reading_pass.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "byte_masks.h"
#include "comment_blanking.h"
#include "text_scan.h"

namespace {

// Chunks converted together; a batch of these is all of the file's text held at once.
constexpr int kChunksPerThread = 2;
constexpr int kMostChunks = 16;

// A growable byte buffer that is not cleared when it grows.
struct Bytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::size_t capacity = 0;

    void reserve(std::size_t wanted) {
        if (wanted <= capacity) return;
        std::unique_ptr<char[]> larger(new char[wanted]);
        std::copy(data.get(), data.get() + size, larger.get());
        data = std::move(larger);
        capacity = wanted;
    }
    void assign(const char* begin, const char* end) {
        size = 0;
        reserve(static_cast<std::size_t>(end - begin));
        std::copy(begin, end, data.get());
        size = static_cast<std::size_t>(end - begin);
    }
};

// Cuts the file into chunks that end with white space or at the file's end.
class ChunkSource {
  public:
    ChunkSource(std::FILE* file, std::size_t blockSize, bool comments)
        : file_(file), blockSize_(blockSize > 0 ? blockSize : 1), comments_(comments) {}

    // The next chunk into `chunk`; false when the file has nothing more (or cannot be read).
    bool next(Bytes& chunk) {
        chunk.assign(carry_.data.get(), carry_.data.get() + carry_.size);
        carry_.size = 0;
        for (;;) {
            if (ended_) return chunk.size > 0;
            const std::size_t old = chunk.size;
            chunk.reserve(old + blockSize_);
            const std::size_t got = std::fread(chunk.data.get() + old, 1, blockSize_, file_);
            chunk.size = old + got;
            // Blanked as read, in file order; the carried bytes were blanked before.
            if (comments_) blanker_.blank(chunk.data.get() + old, chunk.data.get() + chunk.size);
            if (got < blockSize_) {
                ended_ = true;
                failed_ = std::ferror(file_) != 0;
            }
            std::size_t cut = chunk.size;
            while (cut > old && !isCSpace(static_cast<unsigned char>(chunk.data[cut - 1]))) --cut;
            if (cut > old) {
                carry_.assign(chunk.data.get() + cut, chunk.data.get() + chunk.size);
                chunk.size = cut;
                return true;
            }
            // No white space in the new bytes: the last value goes on in the next block.
        }
    }
    bool failed() const { return failed_; }

  private:
    std::FILE* file_;
    std::size_t blockSize_;
    Bytes carry_;
    bool comments_;
    CommentBlanker blanker_;
    bool ended_ = false;
    bool failed_ = false;
};

struct Chunk {
    Bytes text;
    long long firstValue = 0;
    long long failedValue = -1;  // the first value that did not convert, if any
    std::string failedText;
};

// Converts the chunk's values, numbered from its first, up to value `total`.
void convertChunk(Chunk& chunk, long long total, double* const* rows, int C) {
    const char* p = chunk.text.data.get();
    const char* end = p + chunk.text.size;
    long long k = chunk.firstValue;
    int i = static_cast<int>(k / C);
    int j = static_cast<int>(k % C);
    for (; k < total; ++k) {
        while (p != end && isCSpace(static_cast<unsigned char>(*p))) ++p;
        if (p == end) return;
        const char* start = p;
        while (p != end && !isCSpace(static_cast<unsigned char>(*p))) ++p;
        if (!parseWholeDouble(start, p, rows[i][j])) {
            chunk.failedValue = k;
            chunk.failedText =
                printableExcerpt(std::string_view(start, static_cast<std::size_t>(p - start)));
            return;
        }
        if (++j == C) {
            j = 0;
            ++i;
        }
    }
}

// Chunks read and counted together, then converted together.
struct Batch {
    std::vector<Chunk> chunks;
    std::size_t filled = 0;
};

// Reads the next chunks into `batch` while they are needed, numbering their values from
// `counted`, which it advances; false once the file has nothing more.
bool fillBatch(ChunkSource& source, Batch& batch, long long& counted, long long total) {
    batch.filled = 0;
    for (; batch.filled < batch.chunks.size() && counted < total; ++batch.filled) {
        Chunk& chunk = batch.chunks[batch.filled];
        if (!source.next(chunk.text)) return false;
        chunk.firstValue = counted;
        chunk.failedValue = -1;
        counted += static_cast<long long>(
            countValueStarts(chunk.text.data.get(), chunk.text.data.get() + chunk.text.size));
    }
    return true;
}

}  // namespace

bool readMatrixValues(RunHost& host, std::FILE* file, std::size_t blockSize, double* const* rows,
                      int R, int C, WorkerPool& pool, bool comments) {
    const long long total = static_cast<long long>(R) * C;
    if (total <= 0) return true;
    ChunkSource source(file, blockSize, comments);
    // Two batches: one is converted on the pool's threads while the next is read and counted.
    const std::size_t size =
        static_cast<std::size_t>(std::min(kMostChunks, kChunksPerThread * pool.threadCount()));
    Batch batches[2];
    for (Batch& batch : batches) batch.chunks.resize(size);
    long long counted = 0;  // values in the chunks read so far
    bool more = fillBatch(source, batches[0], counted, total);
    for (int current = 0; batches[current].filled > 0; current = 1 - current) {
        Batch& converting = batches[current];
        Batch& reading = batches[1 - current];
        reading.filled = 0;
        const bool readAhead = more && counted < total;
        // Task 0, taken first, reads ahead; the others convert.
        pool.run(static_cast<int>(converting.filled) + 1, [&](int k) {
            if (k > 0)
                convertChunk(converting.chunks[static_cast<std::size_t>(k - 1)], total, rows, C);
            else if (readAhead)
                more = fillBatch(source, reading, counted, total);
        });
        for (std::size_t k = 0; k < converting.filled; ++k) {
            const Chunk& chunk = converting.chunks[k];
            if (chunk.failedValue < 0) continue;
            host.showMessage("The value \"" + chunk.failedText + "\" in row " +
                             std::to_string(chunk.failedValue / C + 1) + ", column " +
                             std::to_string(chunk.failedValue % C + 1) + " is not a number");
            return false;
        }
    }
    if (counted < total) {
        host.showMessage("The data file changed while it was read: values are missing");
        return false;
    }
    return !source.failed();
}
