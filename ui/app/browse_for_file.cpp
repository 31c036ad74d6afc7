#include "browse_for_file.h"

#include "dialog.h"
#include "platform.h"

bool BrowseForFile(std::string& rememberedPath, const std::string& filter, Dialog& parent,
                   std::string initialName, unsigned flags,
                   const std::optional<std::string>& defaultExtension) {
    FileDialogRequest request;
    request.open = true;
    request.filter = filter + "All files (*.*)|*.*||";
    request.flags = flags;
    request.initialName = std::move(initialName);
    request.defaultExtension = defaultExtension;
    std::optional<std::string> chosen = parent.platform().runFileDialog(request);
    if (!chosen) return false;
    rememberedPath = *chosen;
    return true;
}
