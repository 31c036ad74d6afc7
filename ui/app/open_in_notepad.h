#pragma once

#include <string>

#include "platform.h"

// Shows a file to the user in an outside program, started without waiting for it: on Windows,
// Notepad from the Windows directory; elsewhere, the desktop's default application for the file.
// A program that cannot be started is reported in a message box that names it and says why.
// Always true.
bool OpenInNotepad(Platform& platform, const std::string& path);

// The command that OpenInNotepad starts on this platform (open_in_notepad_win32.cpp,
// open_in_notepad_posix.cpp).
ProgramCommand viewFileCommand(const std::string& path);

// The Windows command line: the Windows directory, "\Notepad.exe ", then the path unchanged and
// unquoted, as Notepad has always been started. A path with blanks is therefore split by
// Notepad's own reading of its command line.
std::string notepadCommandLine(const std::string& windowsDirectory, const std::string& path);

// What to tell the user when xdg-open, asked to open `path`, ended with this status; empty when
// it opened the file.
std::string desktopOpenProblem(const std::string& path, int status);

// Elsewhere: xdg-open with the path as its single argument, whatever characters it holds (a
// path that would read as an option is given from "./").
ProgramCommand desktopOpenCommand(const std::string& path);
