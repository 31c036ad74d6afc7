#include <dlfcn.h>
#include <fcntl.h>
#include <locale.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "system.h"

unsigned long long availableMemoryBytes() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    unsigned long long kib = 0;
    std::string unit;
    while (meminfo >> key >> kib >> unit) {
        if (key == "MemAvailable:") return kib * 1024ull;
    }
    long pages = sysconf(_SC_AVPHYS_PAGES);
    long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<unsigned long long>(pages) * pageSize : 0;
}

int processorCount() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        int cores = CPU_COUNT(&set);
        if (cores > 0) return cores;
    }
    unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
}

double strtodInCLocale(const char* text, char** end) {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(text, end, locale);
}

namespace {

// Writes straight into the file: for what is not a regular file (a device such as /dev/full, a
// pipe), where a rename would replace the special file instead of writing to it.
bool writeInPlace(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

// The file a chain of symbolic links ends at, which need not exist yet (a link may name a file
// still to be made).
std::string followLinks(std::string path) {
    namespace fs = std::filesystem;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
        fs::path target = fs::read_symlink(path, error);
        if (error) return path;
        path = (target.is_absolute() ? target : fs::path(path).parent_path() / target).string();
    }
    return path;
}

// Creates a file of a name no other has, beside `target`, with mode 0666 less the umask: the
// system applies the umask itself, so it need not be read (which only changing it can do).
int createTemporaryBeside(const std::string& target, std::string& name) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + "." + std::to_string(random() % 1000000000u) + ".tmp";
        int descriptor = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) return descriptor;
    }
    return -1;
}

}  // namespace

bool replaceFileAtomically(const std::string& path, const std::string& text) {
    // Through a symbolic link, replace the file it names and keep the link.
    const std::string target = followLinks(path);
    struct stat existing {};
    bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        if (S_ISDIR(existing.st_mode)) return false;
        return writeInPlace(target, text);
    }

    std::string temporary;
    int descriptor = createTemporaryBeside(target, temporary);
    if (descriptor < 0) return false;
    // Keep the permissions an existing file had; a new file keeps those it was created with.
    if (exists) fchmod(descriptor, existing.st_mode & 07777);
    std::FILE* file = fdopen(descriptor, "w");
    if (!file) {
        close(descriptor);
        unlink(temporary.c_str());
        return false;
    }
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fflush(file) == 0 && written;
    written = fsync(fileno(file)) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

long long bytesLeftInFile(std::FILE* file) {
    const long here = std::ftell(file);
    struct stat info {};
    const int descriptor = fileno(file);
    if (here >= 0 && descriptor >= 0 && fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode))
        return static_cast<long long>(info.st_size) - here;
    // No descriptor (a memory stream): seek to the end and back.
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file);
    if (std::fseek(file, here, SEEK_SET) != 0) return -1;
    return end - here;
}

bool loadSharedFunctions(const char* name, const char* const* names, void** addresses, int count,
                         std::string& why) {
    void* library = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        why = dlerror();
        return false;
    }
    for (int k = 0; k < count; ++k) {
        addresses[k] = dlsym(library, names[k]);
        if (!addresses[k]) {
            why = std::string(name) + " has no function " + names[k];
            return false;
        }
    }
    return true;
}

std::FILE* openFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

bool fileIdentity(const std::string& path, FileIdentity& identity) {
    struct stat status;
    if (path.empty() || stat(path.c_str(), &status) != 0) return false;
    identity.volume = static_cast<unsigned long long>(status.st_dev);
    identity.file = static_cast<unsigned long long>(status.st_ino);
    return true;
}

std::vector<std::string> programArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}
