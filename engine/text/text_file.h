#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "comment_blanking.h"
#include "system.h"

// Reads a small text file (a progression or configuration file) whole into `text`, at most
// maxBytes of it. False when the file cannot be opened or read (a directory included).
bool readWholeTextFile(const std::string& path, std::string& text,
                       std::size_t maxBytes = 64u << 20);

// Streams a file in large blocks, so that no line length is limited and the text is never held
// whole in memory.
class BlockReader {
  public:
    // Reads from the file's current position, to which rewind() returns.
    explicit BlockReader(std::FILE* file, std::size_t blockSize = 1u << 20)
        : file_(file), buffer_(blockSize), start_(std::ftell(file)) {}

    // The next block, or false at the end of the file or on a read error (see failed()).
    bool next(const char*& begin, const char*& end);
    bool failed() const { return failed_; }
    void rewind();
    // From now on, comments come as blanks (comment_blanking.h).
    void blankComments() { blankComments_ = true; }

  private:
    std::FILE* file_;
    std::vector<char> buffer_;
    long start_;  // -1 where the file cannot tell its position: rewind() goes to its start
    bool failed_ = false;
    bool blankComments_ = false;
    CommentBlanker blanker_;
};

// Owns a FILE* and closes it when the scope ends.
class FileCloser {
  public:
    explicit FileCloser(std::FILE* file) : file_(file) {}
    ~FileCloser() {
        if (file_) std::fclose(file_);
    }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;
    std::FILE* get() const { return file_; }
    // Closes now and reports whether everything written reached the file.
    bool close() {
        std::FILE* f = file_;
        file_ = nullptr;
        return f && std::fclose(f) == 0;
    }

  private:
    std::FILE* file_;
};
