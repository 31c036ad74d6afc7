#include "open_in_notepad.h"

bool OpenInNotepad(Platform& platform, const std::string& path) {
    ProgramCommand command = viewFileCommand(path);
    if (std::optional<std::string> failure = platform.startProgram(command)) {
        const std::string& program =
            command.arguments.empty() ? command.commandLine : command.arguments.front();
        platform.messageBox("Could not start " + program + ": " + *failure, MessageBoxButtons::kOk);
    }
    return true;
}

std::string desktopOpenProblem(const std::string& path, int status) {
    // xdg-open's exit statuses, as its manual gives them.
    const char* reason = nullptr;
    switch (status) {
        case 0:
            return {};
        case 2:
            reason = "the file does not exist or cannot be read";
            break;
        case 3:
            reason = "no program on this system opens files of its kind";
            break;
        case 4:
            reason = "the program meant to open it failed";
            break;
        default:
            return "xdg-open could not open " + path + " (it ended with status " +
                   std::to_string(status) + ")";
    }
    return "No program could open " + path + ": " + reason;
}

std::string notepadCommandLine(const std::string& windowsDirectory, const std::string& path) {
    return windowsDirectory + "\\Notepad.exe " + path;
}

ProgramCommand desktopOpenCommand(const std::string& path) {
    ProgramCommand command;
    // A relative path that begins with '-' would be read as an option: name it from "./".
    command.arguments = {"xdg-open", !path.empty() && path[0] == '-' ? "./" + path : path};
    command.exitProblem = [path](int status) { return desktopOpenProblem(path, status); };
    return command;
}
