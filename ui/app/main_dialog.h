#pragma once

#include <string>

#include "analysis_settings.h"
#include "dialog.h"
#include "load_failure_note.h"
#include "run_host.h"

// What Escape and the close box ask while Calculate's run is on.
inline constexpr const char* kStopRunQuestion =
    "Calculate is still running. Stop it and close Vantrel?";

// The program's one dialog: it gathers the analysis settings and run options from its controls,
// hands them to the engine, loads and saves them as configuration files, and is the engine's
// RunHost. It owns the settings and options for its whole life; the commands, the configuration
// files and the run work on these very objects.
class MainDialog : public Dialog, public RunHost {
  public:
    explicit MainDialog(Platform& platform);

    const AnalysisSettings& settings() const { return settings_; }
    const RunOptions& options() const { return options_; }
    const std::string& configFileName() const { return configFileName_; }

    // RunHost: message boxes over the dialog, its data-size label and the wait cursor.
    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void setDataSizeText(const std::string& text) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
    void dataFileUnreadable(const std::string& path, int error) override;
    const CancelToken* cancelToken() const override { return &cancel_; }

    // True while Calculate's run, or Map roughness, is on.
    bool running() const { return running_; }

    const IconResource* OnQueryDragIcon() override { return &icon_; }

  protected:
    void doDataExchange(DataExchange& exchange) override;
    bool OnInitDialog() override;
    bool OnSysCommand(int id) override;
    bool OnPaint() override;
    // While a run is on, Enter does nothing, and Escape or the close box ask whether to stop it;
    // while a map is made, they stop it and the dialog stays open.
    void OnOK() override;
    void OnCancel() override;

  private:
    // The commands of the seven buttons (main_dialog_commands.cpp).
    void OnLoadConfig();
    void OnSaveConfig();
    void OnCalculate();
    void OnViewProgression();
    void OnViewInput();
    void OnBrowseInput();
    void OnBrowseProgression();
    // The system menu's "Analyse results..." (analyse_results_command.cpp) and "Map
    // roughness..." (map_roughness_command.cpp).
    void OnAnalyseResults();
    void OnMapRoughness();
    // Binds a button whose command is ignored while a run is on.
    void bindWhenIdle(int id, void (MainDialog::*command)());
    // The caption, with the area under way while a run is on.
    void showProgress(int areaNumber, int areaCount);
    // The caption with what the dialog is busy with, until showProgress puts it back.
    void showBusyTitle(const std::string& doing);

    StaticControl dataSizeLabel_;
    std::string configFileName_;
    RunOptions options_;
    AnalysisSettings settings_;
    const IconResource& icon_;

    LoadFailureNote loadNote_;
    CancelToken cancel_;
    bool running_ = false;
    bool mapping_ = false;  // the work under way is Map roughness, which stops without asking
    bool closeWhenStopped_ = false;
    std::string shownCaption_;

    // The last file confirmed in each kind of open dialog. Only the browse commands change them:
    // typing a path, loading or saving a configuration leave them as they are.
    std::string configPath_;
    std::string inputPath_;
    std::string progressionPath_;
};
