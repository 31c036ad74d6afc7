#include "load_failure_note.h"

#include <system_error>

void LoadFailureNote::begin(const std::string& path) {
    path_ = path;
    reason_.clear();
    declined_ = false;
}

void LoadFailureNote::unreadable(const std::string& path, int error) {
    path_ = path;
    reason_ = std::generic_category().message(error);
}

std::string LoadFailureNote::addTo(const std::string& text) const {
    if (text != "Error loading data") return text;
    if (path_.empty())
        return text +
               "\n\nNo input file is named: type its name in Input file, or choose it with "
               "the \"...\" button beside it.";
    if (!reason_.empty()) return text + "\n\n" + path_ + "\n" + reason_;
    if (declined_)
        return text + "\n\n" + path_ + " was not read: the answer to \"Continue?\" was No.";
    // A reader has already said what is wrong inside the file.
    return text + "\n\n" + path_;
}
