#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <thread>
#include <vector>

#include "start_program.h"

extern char** environ;

std::optional<std::string> startDetached(const ProgramCommand& command,
                                         std::function<void(std::string)> report) {
    if (command.arguments.empty()) return "no program named";
    std::vector<char*> argv;
    for (const std::string& argument : command.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    // posix_spawnp reports a program that cannot be run (not found, not executable) as its
    // result, where a fork and exec would only learn of it in the child.
    pid_t child = 0;
    int error = posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ);
    if (error != 0) return std::string(std::strerror(error));
    // Nobody waits for the program, so that it leaves no zombie once it ends; what its exit
    // status means to the user is shown when it comes.
    std::thread([child, explain = command.exitProblem, report] {
        int status = 0;
        if (waitpid(child, &status, 0) != child || !explain) return;
        const int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::string problem = explain(exitStatus);
        if (!problem.empty() && report) report(std::move(problem));
    }).detach();
    return std::nullopt;
}
