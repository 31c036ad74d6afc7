#include "comment_blanking.h"

#include <cstring>

void CommentBlanker::blank(char* begin, char* end) {
    char* p = begin;
    while (p != end) {
        const auto size = static_cast<std::size_t>(end - p);
        if (!inComment_) {
            p = static_cast<char*>(std::memchr(p, '#', size));
            if (!p) return;
            inComment_ = true;
            continue;
        }
        char* feed = static_cast<char*>(std::memchr(p, '\n', size));
        char* stop = feed ? feed : end;
        std::memset(p, ' ', static_cast<std::size_t>(stop - p));
        if (!feed) return;
        inComment_ = false;
        p = feed + 1;
    }
}
