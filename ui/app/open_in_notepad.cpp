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

std::string notepadCommandLine(const std::string& windowsDirectory, const std::string& path) {
    return windowsDirectory + "\\Notepad.exe " + path;
}

ProgramCommand desktopOpenCommand(const std::string& path) {
    ProgramCommand command;
    // A relative path that begins with '-' would be read as an option: name it from "./".
    command.arguments = {"xdg-open", !path.empty() && path[0] == '-' ? "./" + path : path};
    return command;
}
