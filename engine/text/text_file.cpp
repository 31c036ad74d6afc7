#include "text_file.h"

bool readWholeTextFile(const std::string& path, std::string& text, std::size_t maxBytes) {
    FileCloser file(openFile(path, "r"));
    if (!file.get()) return false;
    text.clear();
    BlockReader reader(file.get(), 64u << 10);
    const char* begin;
    const char* end;
    while (text.size() < maxBytes && reader.next(begin, end)) {
        std::size_t take = static_cast<std::size_t>(end - begin);
        if (take > maxBytes - text.size()) take = maxBytes - text.size();
        text.append(begin, take);
    }
    return !reader.failed();
}

bool BlockReader::next(const char*& begin, const char*& end) {
    if (failed_) return false;
    std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (got == 0) {
        failed_ = std::ferror(file_) != 0;
        return false;
    }
    if (blankComments_) blanker_.blank(buffer_.data(), buffer_.data() + got);
    begin = buffer_.data();
    end = begin + got;
    return true;
}

void BlockReader::rewind() {
    if (start_ > 0)
        std::fseek(file_, start_, SEEK_SET);
    else
        std::rewind(file_);
    failed_ = false;
    blanker_.reset();
}
