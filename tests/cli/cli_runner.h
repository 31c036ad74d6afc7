#pragma once

// Runs the real vantrel-cli in a temporary folder, without a shell, with standard input from
// /dev/null, or on a terminal of its own (a pseudo-terminal) as a person would see it.

#ifdef _WIN32
#include <windows.h>

#include "wide_text.h"
#else
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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

#ifdef _WIN32
// Windows has no fork: the program is started with its standard streams handed over, and the
// line ends its text-mode streams write are read back as the program meant them. There is no
// pseudo-terminal to run it on.
inline std::string withLineFeeds(const std::string& text) {
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k)
        if (!(text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n')) out += text[k];
    return out;
}

inline Outcome runCli(const TempFolder& folder, std::vector<std::string> args) {
    std::string outPath = folder.path("stdout"), errPath = folder.path("stderr");
    std::string commandLine = std::string("\"") + VANTREL_CLI + "\"";
    for (const std::string& a : args) commandLine += " \"" + a + "\"";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    auto open = [&](const std::string& path, DWORD access, DWORD disposition) {
        return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    // The arguments are UTF-8, as the program takes them: they go to it wide, never through the
    // ANSI code page.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = open("NUL", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = open(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = open(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process{};
    Outcome outcome;
    std::wstring wideCommandLine = widen(commandLine);
    const std::wstring folderPath = widen(folder.path(""));
    if (CreateProcessW(nullptr, wideCommandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       folderPath.c_str(), &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        outcome.status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        CloseHandle(handle);
    outcome.out = withLineFeeds(readFile(outPath));
    outcome.err = withLineFeeds(readFile(errPath));
    return outcome;
}

// No pseudo-terminal: the tests leave out their rows on a terminal, and never come here.
inline Outcome runCliOnTerminal(const TempFolder&, std::vector<std::string>,
                                const std::function<void()>& = {}) {
    return {};
}
#else

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
#endif
