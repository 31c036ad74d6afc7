#pragma once

#include <cstdio>
#include <string>
#include <vector>

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
// gets 0666 less the umask. Through a symbolic link, the file the link names is written (made,
// when it does not exist yet) and the link is kept. What is not a regular file (a device, a pipe)
// is written in place, never replaced; a folder fails. False when anything could not be written.
bool replaceFileAtomically(const std::string& path, const std::string& text);

// True when `path` names a folder.
bool isFolder(const std::string& path);

// The bytes from the open file's current position to its end, or -1 when that cannot be known.
long long bytesLeftInFile(std::FILE* file);

// Opens the shared library `name` (its file name, as the system's loader finds it) and returns
// the address of each of `count` functions named in `names` in `addresses`. False, with `why`
// set to what the system said, when the library or a function cannot be found.
bool loadSharedFunctions(const char* name, const char* const* names, void** addresses, int count,
                         std::string& why);

// fopen for a path in UTF-8, whatever the system's own encoding of file names. On Windows the
// file is opened in binary mode, so that the same bytes are read and written as on every other
// system (no line ends rewritten, no end-of-file character).
std::FILE* openFile(const std::string& path, const char* mode);

// What tells one file from another whatever names lead to it (a symbolic or hard link, "./x"
// beside "x"): the device and inode on POSIX, the volume serial number and file ID on Windows.
struct FileIdentity {
    unsigned long long volume = 0;
    unsigned long long file = 0;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && file == other.file;
    }
};

// The identity of the file `path` names, following symbolic links. False when there is no such
// file (an output not yet made) or it cannot be looked at.
bool fileIdentity(const std::string& path, FileIdentity& identity);

// The program's arguments after its name, in UTF-8: argv as given on POSIX; on Windows the wide
// command line, converted, since argv there is in the ANSI code page and loses every character
// it cannot hold (a file name "superficie-\u00e8.txt" would arrive as "superficie-?.txt").
std::vector<std::string> programArguments(int argc, char** argv);
