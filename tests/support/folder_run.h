#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "analysis_run.h"
#include "scripted_host.h"
#include "temp_folder.h"

// Everything in a folder, so that a test can say exactly what a run left on disk: each file's
// name (relative to the folder) with its bytes, a folder as "name/", a symbolic link as
// "name -> target" (never followed).
using Files = std::map<std::string, std::string>;

inline Files filesIn(const std::string& folder) {
    namespace fs = std::filesystem;
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string name = fs::relative(entry.path(), folder).string();
        if (entry.is_symlink())
            files[name + " -> " + fs::read_symlink(entry.path()).string()] = "";
        else if (entry.is_directory())
            files[name + "/"] = "";
        else
            files[name] = readFile(entry.path().string());
    }
    return files;
}

// A run over data.txt in a fresh folder, as Calculate starts it: linear areas 1 to 4 step 3
// (window sides 1 and 2), shifts 0, the question answered Yes unless a test queues a No.
struct FolderRun {
    static constexpr const char* kData = "1 2 3\n4 5 6\n7 8 9\n";
    static constexpr const char* kResults = "1\t0.00000\n4\t4.00000\n";

    TempFolder folder;
    AnalysisSettings settings;
    RunOptions options;
    ScriptedHost host;

    explicit FolderRun(const std::string& data = kData) {
        settings.inputFile = folder.write("data.txt", data);
        linear(1, 4, 3);
    }
    void linear(int from, int to, int step) {
        settings.progressionType = 0;
        settings.from = from;
        settings.to = to;
        settings.step = step;
    }
    void go() { runAnalysis(settings, options, host); }
    Files files() const { return filesIn(folder.path("")); }
    std::string results() const { return readFile(settings.inputFile + ".out.txt"); }
    bool asked() const {
        for (const std::string& call : host.calls)
            if (call.rfind("ask: ", 0) == 0) return true;
        return false;
    }
};
