// The commands behind the main dialog's seven buttons. Each begins by exchanging the controls
// into the fields. Browse, View and Load go on whatever that exchange reports: a field that did
// not convert has been pointed out to the user, and they work with the values the fields then
// hold. Calculate and Save stop there instead, with the focus on the field: going on would run
// (or save) the previous values, the earlier run's results overwritten with numbers nobody
// asked for.

#include "analysis_run.h"
#include "background_run_host.h"
#include "browse_for_file.h"
#include "main_dialog.h"
#include "open_in_notepad.h"
#include "platform.h"
#include "surface_file.h"
#include "text_scan.h"

namespace {

constexpr unsigned kOpenFlags = kFileHideReadOnly | kFileMustExist;
constexpr unsigned kSaveFlags = kFileHideReadOnly | kFileOverwritePrompt | kFilePathMustExist;

}  // namespace

void MainDialog::OnLoadConfig() {
    updateData(true);
    if (!BrowseForFile(configPath_, "Configuration files (*.txt)|*.txt|", *this, configPath_,
                       kOpenFlags, std::nullopt))
        return;
    if (!settings_.readConfig(configPath_)) {
        showMessage("Error opening config file");
        return;
    }
    configFileName_ = configPath_;
    updateData(false);
    // Read straight back, so that the fields hold exactly what the controls show: a type other
    // than 0 or 1 shows no selection and so becomes -1.
    updateData(true);
}

void MainDialog::OnSaveConfig() {
    if (!updateData(true)) return;
    configFileName_ = std::string(trimCSpace(configFileName_));
    if (configFileName_.empty()) {
        showMessage("Please enter config file name");
        return;
    }
    FileDialogRequest request;
    request.open = false;
    request.filter = "Configuration files (*.txt)|*.txt|All files (*.*)|*.*||";
    request.flags = kSaveFlags;
    request.initialName = configFileName_;
    std::optional<std::string> chosen = platform().runFileDialog(request);
    if (!chosen) return;
    if (!settings_.writeConfig(*chosen)) {
        showMessage("Error saving config file");
        return;
    }
    configFileName_ = *chosen;
    updateData(false);
}

void MainDialog::OnCalculate() {
    if (!updateData(true)) return;
    loadNote_.begin(settings_.inputFile);
    // The run goes on a thread of its own, so that the dialog repaints, shows the area under way
    // in its title bar and can be asked to stop; what the run shows or asks is still shown here.
    cancel_.reset();
    closeWhenStopped_ = false;
    BackgroundRunHost host(*this, platform(), cancel_);
    running_ = true;
    struct RunEnds {
        MainDialog& dialog;
        ~RunEnds() {
            dialog.running_ = false;
            dialog.showProgress(0, 0);
        }
    } runEnds{*this};
    try {
        platform().runInBackground([&] { runAnalysis(settings_, options_, host); },
                                   [&] { showProgress(host.areaNumber(), host.areaCount()); });
    } catch (const RunCancelled&) {
        // The user asked for it: the files stay as a failed run leaves them.
    }
    if (closeWhenStopped_) endDialog(kIdCancel);
}

void MainDialog::OnViewProgression() {
    updateData(true);
    OpenInNotepad(platform(), settings_.progressionFile);
}

void MainDialog::OnViewInput() {
    updateData(true);
    OpenInNotepad(platform(), settings_.inputFile);
}

void MainDialog::OnBrowseInput() {
    updateData(true);
    // Text matrices first, as always; then every file a reader takes.
    if (!BrowseForFile(inputPath_, "Data files (*.txt)|*.txt|" + surfaceFileFilter(), *this,
                       inputPath_, kOpenFlags, std::nullopt))
        return;
    settings_.inputFile = inputPath_;
    updateData(false);
}

void MainDialog::OnBrowseProgression() {
    updateData(true);
    if (!BrowseForFile(progressionPath_, "Progression files (*.txt)|*.txt|", *this,
                       progressionPath_, kOpenFlags, std::nullopt))
        return;
    settings_.progressionFile = progressionPath_;
    updateData(false);
}
