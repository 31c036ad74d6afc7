#include "system.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <locale.h>
#include <sched.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

}  // namespace

bool replaceFileAtomically(const std::string& path, const std::string& text) {
    // Through a symbolic link, replace the file it names and keep the link.
    std::string target = path;
    if (char* resolved = realpath(path.c_str(), nullptr)) {
        target = resolved;
        std::free(resolved);
    }
    struct stat existing {};
    bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        if (S_ISDIR(existing.st_mode)) return false;
        return writeInPlace(target, text);
    }

    std::string temporary = target + ".XXXXXX";
    int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) return false;
    // Keep the permissions an existing file had; a new file gets the usual ones.
    mode_t mode = existing.st_mode & 07777;
    if (!exists) {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(descriptor, mode);
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

