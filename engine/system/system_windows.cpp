#include <locale.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "system.h"
#include "wide_text.h"

// File names are UTF-8 inside the program and wide at every call into Windows.

namespace {

// A name for the temporary file beside the target, unique within this machine for now.
std::wstring temporaryNameBeside(const std::wstring& target) {
    static unsigned counter = 0;
    return target + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
           std::to_wstring(++counter) + L".tmp";
}

bool writeWholeFile(const std::wstring& path, const std::string& text, DWORD disposition) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = true;
    std::size_t done = 0;
    while (written && done < text.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 30));
        DWORD wrote = 0;
        written = WriteFile(file, text.data() + done, chunk, &wrote, nullptr) && wrote == chunk;
        done += wrote;
    }
    written = FlushFileBuffers(file) && written;
    return CloseHandle(file) && written;
}

}  // namespace

unsigned long long availableMemoryBytes() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return 0;
    // A 32-bit process on a big machine can still address only so much.
    return std::min(status.ullAvailPhys, status.ullAvailVirtual);
}

int processorCount() {
    DWORD_PTR processMask = 0, systemMask = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &processMask, &systemMask)) {
        int cores = 0;
        for (; processMask; processMask &= processMask - 1) ++cores;
        if (cores > 0) return cores;
    }
    unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
}

double strtodInCLocale(const char* text, char** end) {
    // The system's strtod neither reads hexadecimal floats ("0x1p3") nor rounds every long
    // decimal correctly; from_chars does both, as glibc's strtod does, in no locale at all. It
    // takes no blanks, sign or "0x" of its own, so those are read here first.
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    bool hex = p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
    const char* digits = hex ? p + 2 : p;
    double value = 0.0;
    std::from_chars_result read{digits, std::errc::invalid_argument};
    // from_chars takes a minus sign of its own, which must not follow the one read here.
    if (*digits != '-')
        read = std::from_chars(digits, digits + std::strlen(digits), value,
                               hex ? std::chars_format::hex : std::chars_format::general);
    if (read.ec == std::errc()) {
        if (end) *end = const_cast<char*>(read.ptr);
        return negative ? -value : value;
    }
    // Out of range (the system's strtod gives the infinity or zero that C asks for) or not a
    // number at all.
    static const _locale_t locale = _create_locale(LC_ALL, "C");
    return _strtod_l(text, end, locale);
}

std::FILE* openFile(const std::string& path, const char* mode) {
    std::wstring wideMode = widen(mode);
    if (wideMode.find(L'b') == std::wstring::npos) wideMode += L'b';
    std::wstring widePath = widen(path);
    std::FILE* file = _wfopen(widePath.c_str(), wideMode.c_str());
    // Windows refuses a folder as "access denied"; the reason a person can act on is the one
    // every other system gives.
    if (!file && errno == EACCES) {
        DWORD attributes = GetFileAttributesW(widePath.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            errno = EISDIR;
    }
    return file;
}

bool replaceFileAtomically(const std::string& path, const std::string& text) {
    std::wstring target = widen(path);
    HANDLE existing =
        CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    bool exists = existing != INVALID_HANDLE_VALUE;
    if (exists) {
        bool onDisk = GetFileType(existing) == FILE_TYPE_DISK;
        // Through a link, the file the link names is replaced and the link kept.
        wchar_t finalPath[MAX_PATH * 4];
        DWORD length = GetFinalPathNameByHandleW(existing, finalPath, MAX_PATH * 4, 0);
        CloseHandle(existing);
        // A device (NUL, CON) or a pipe is written in place; a rename would not reach it.
        if (!onDisk) return writeWholeFile(target, text, OPEN_EXISTING);
        if (length > 0 && length < MAX_PATH * 4) target.assign(finalPath, length);
        DWORD attributes = GetFileAttributesW(target.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return false;
    }

    std::wstring temporary = temporaryNameBeside(target);
    if (!writeWholeFile(temporary, text, CREATE_NEW)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    // ReplaceFileW keeps the old file's attributes and security; where a file system refuses
    // it, a rename over the old file still replaces it whole.
    if (exists && ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                               REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return true;
    if (MoveFileExW(temporary.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

long long bytesLeftInFile(std::FILE* file) {
    const long long here = _ftelli64(file);
    if (here < 0 || _fseeki64(file, 0, SEEK_END) != 0) return -1;
    const long long end = _ftelli64(file);
    if (_fseeki64(file, here, SEEK_SET) != 0) return -1;
    return end - here;
}

bool loadSharedFunctions(const char* name, const char* const* names, void** addresses, int count,
                         std::string& why) {
    HMODULE library = LoadLibraryW(widen(name).c_str());
    if (!library) {
        why =
            std::string(name) + " cannot be loaded (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    for (int k = 0; k < count; ++k) {
        addresses[k] = reinterpret_cast<void*>(GetProcAddress(library, names[k]));
        if (!addresses[k]) {
            why = std::string(name) + " has no function " + names[k];
            return false;
        }
    }
    return true;
}

bool fileIdentity(const std::string& path, FileIdentity& identity) {
    if (path.empty()) return false;
    // No access asked for, so that a file another program holds open can still be looked at;
    // backup semantics lets a folder be opened too.
    HANDLE file =
        CreateFileW(widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION information;
    const bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    if (!known) return false;
    identity.volume = information.dwVolumeSerialNumber;
    identity.file = (static_cast<unsigned long long>(information.nFileIndexHigh) << 32) |
                    information.nFileIndexLow;
    return true;
}

std::vector<std::string> programArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> args;
    for (int k = 1; k < count; ++k) args.push_back(narrow(wide[k]));
    LocalFree(wide);
    return args;
}
