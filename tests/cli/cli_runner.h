#pragma once

// Runs the real vantrel-cli in a temporary folder, without a shell, with standard input from
// /dev/null, or on a terminal of its own (a pseudo-terminal) as a person would see it.

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "temp_folder.h"

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;  // on a terminal: everything the terminal showed
};

inline std::vector<char*> argumentVector(std::vector<std::string>& args) {
    args.insert(args.begin(), VANTREL_CLI);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return argv;
}

inline int exitStatus(pid_t child) {
    int wstatus = 0;
    waitpid(child, &wstatus, 0);
    return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
}

inline Outcome runCli(const TempFolder& folder, std::vector<std::string> args) {
    std::string outPath = folder.path("stdout"), errPath = folder.path("stderr");
    std::vector<char*> argv = argumentVector(args);
    pid_t child = fork();
    if (child == 0) {
        int in = open("/dev/null", O_RDONLY);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (chdir(folder.path("").c_str()) != 0) _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    Outcome outcome;
    outcome.status = exitStatus(child);
    outcome.out = readFile(outPath);
    outcome.err = readFile(errPath);
    return outcome;
}

// `during` runs beside the program, for a test that must act while it runs.
inline Outcome runCliOnTerminal(const TempFolder& folder, std::vector<std::string> args,
                                const std::function<void()>& during = {}) {
    std::vector<char*> argv = argumentVector(args);
    int terminal = -1;
    pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        if (chdir(folder.path("").c_str()) != 0) _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    std::thread beside(during ? during : [] {});
    Outcome outcome;
    char buffer[4096];
    for (;;) {
        ssize_t got = read(terminal, buffer, sizeof buffer);
        if (got > 0)
            outcome.err.append(buffer, static_cast<std::size_t>(got));
        else if (got < 0 && errno == EINTR)
            continue;
        else
            break;  // EIO: the program has closed the terminal
    }
    beside.join();
    close(terminal);
    outcome.status = exitStatus(child);
    return outcome;
}
