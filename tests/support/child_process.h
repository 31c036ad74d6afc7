#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "temp_folder.h"

// Limits put on a child process: a file size limit makes writes past it fail with EFBIG, as a
// full disk makes them fail, without touching the machine's disks; an address space limit makes
// large allocations fail.
struct ChildLimits {
    rlim_t fileSize = RLIM_INFINITY;
    rlim_t addressSpace = RLIM_INFINITY;
};

inline void applyLimits(const ChildLimits& limits) {
    if (limits.fileSize != RLIM_INFINITY) {
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails instead of killing
        rlimit fileSize{limits.fileSize, limits.fileSize};
        setrlimit(RLIMIT_FSIZE, &fileSize);
    }
    if (limits.addressSpace != RLIM_INFINITY) {
        rlimit addressSpace{limits.addressSpace, limits.addressSpace};
        setrlimit(RLIMIT_AS, &addressSpace);
    }
}

// Runs body in a child process under the limits and returns its exit status (-1 when it did
// not exit normally).
inline int exitStatusInChild(const ChildLimits& limits, const std::function<int()>& body) {
    pid_t child = fork();
    if (child == 0) {
        applyLimits(limits);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

// The one way the tests run vantrel-cli: with these arguments in folder, without a shell,
// standard input from /dev/null, standard output and error kept (in a folder of their own, so
// that they are not among the run's files).
inline ProgramRun runCli(const std::string& folder, std::vector<std::string> args,
                         const ChildLimits& limits = {}) {
    TempFolder streams;
    std::string outPath = streams.path("stdout"), errPath = streams.path("stderr");
    args.insert(args.begin(), VANTREL_CLI);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ProgramRun run;
    run.status = exitStatusInChild(limits, [&] {
        int in = open("/dev/null", O_RDONLY);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || chdir(folder.c_str()) != 0) return 126;
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execv(argv[0], argv.data());
        return 127;
    });
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    return run;
}
