#pragma once

#include <optional>
#include <string>

class Dialog;

// Runs an open-file dialog over `parent` offering `filter` followed by every file, starting from
// `initialName`. True when the user confirmed a file, and then `rememberedPath` holds its full
// path; false when cancelled, and then `rememberedPath` is as it was.
bool BrowseForFile(std::string& rememberedPath, const std::string& filter, Dialog& parent,
                   std::string initialName, unsigned flags,
                   const std::optional<std::string>& defaultExtension);
