#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

// A zip archive read through libzip from a file already open, and its entries read in pieces.
// Every failure comes back as words that complete a sentence beginning with the file's name.

struct zip;
struct zip_file;

class ZipEntry {
  public:
    ZipEntry() = default;
    ZipEntry(zip_file* file, long long size, std::string name)
        : file_(file, &closeFile), size_(size), name_(std::move(name)) {}
    bool isOpen() const { return file_ != nullptr; }
    long long size() const { return size_; }  // uncompressed, as the archive declares it
    // Fills `to` with the next `count` bytes or up to the entry's end: how many were put there,
    // or -1 (with `what` saying why) when the entry is damaged.
    long long read(void* to, std::size_t count, std::string& what);

  private:
    static void closeFile(zip_file* file);
    std::unique_ptr<zip_file, void (*)(zip_file*)> file_{nullptr, &closeFile};
    long long size_ = 0;
    std::string name_;
};

class ZipArchive {
  public:
    ZipArchive();
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;
    // Reads the archive's directory from `file`, which stays open and owned by the caller. False,
    // with `what` saying why, for a file that is not a zip archive or is damaged.
    bool open(std::FILE* file, std::string& what);
    bool has(const std::string& entryName) const;
    // Opens an entry for reading. False, with `what` saying why, when the archive has no such
    // entry, it is encrypted, compressed by a method libzip cannot undo, or its size is unknown.
    bool openEntry(const std::string& entryName, ZipEntry& entry, std::string& what);

  private:
    struct Source;
    static void discard(zip* archive);
    std::unique_ptr<Source> source_;
    std::unique_ptr<zip, void (*)(zip*)> archive_{nullptr, &discard};
};
