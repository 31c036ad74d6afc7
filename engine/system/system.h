#pragma once

#include <string>

// Every call the engine and the configuration files make to the operating system, behind one
// seam: a port to another system supplies this file's functions and nothing else.

// The memory the system could give this process now, in bytes; 0 when it cannot say.
unsigned long long availableMemoryBytes();

// The processors this process may run on (at least 1).
int processorCount();

// strtod in the "C" locale, whatever locale the program runs in.
double strtodInCLocale(const char* text, char** end);

// Replaces the file at `path` with `text` so that a reader sees either the old or the new
// contents, never a part: the text goes to a temporary file beside the target, which is renamed
// into place once it is complete. The replacement keeps the old file's permissions; a new file
// gets the usual ones. Through a symbolic link, the file the link names is written and the link
// is kept. What is not a regular file (a device, a pipe) is written in place, never replaced;
// a folder fails. False when anything could not be written.
bool replaceFileAtomically(const std::string& path, const std::string& text);
