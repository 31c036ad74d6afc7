#include "plot_window.h"

#include "platform.h"

void savePlotAs(Platform& platform, const PlotWindowRequest& request) {
    FileDialogRequest dialog;
    dialog.open = false;
    dialog.filter = request.saveFilter;
    dialog.flags = kFileOverwritePrompt | kFileHideReadOnly | kFilePathMustExist;
    dialog.initialName = "plot.svg";
    dialog.defaultExtension = "svg";
    const std::optional<std::string> path = platform.runFileDialog(dialog);
    if (!path || !request.save) return;
    if (const std::optional<std::string> error = request.save(*path))
        platform.messageBox(*error, MessageBoxButtons::kOk);
}
