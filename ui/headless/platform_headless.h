#pragma once

#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialog_window_headless.h"
#include "platform.h"

// The platform for tests. Nothing appears on a screen: the answers the user would give to message
// boxes and file dialogs are queued beforehand, and everything shown or started is recorded.
class HeadlessPlatform : public Platform {
  public:
    // The answer to the next message box (kAnswerOk, kAnswerYes, kAnswerNo). A box with no
    // queued answer gets OK, or No if it asks Yes or No.
    void queueMessageBoxAnswer(int answer) { messageBoxAnswers_.push_back(answer); }
    // The file the user confirms in the next file dialog; nothing cancels it. A dialog with no
    // queued answer is cancelled.
    void queueFileDialogAnswer(std::optional<std::string> path) {
        fileDialogAnswers_.push_back(std::move(path));
    }
    // What the user does in the next modal dialog. A dialog without a script is closed with
    // Escape as soon as it has opened; so is one whose script leaves it open.
    void queueModalScript(std::function<void(HeadlessWindow&)> script) {
        modalScripts_.push_back(std::move(script));
    }

    // What the user does while background work runs: each is done once, in order, the next
    // time the platform handles its events once a wait cursor has been shown and taken away.
    void queueWhileRunning(std::function<void()> action) {
        whileRunning_.push_back(std::move(action));
    }

    // The exit status of the next program that starts; without one queued, it is not watched.
    void queueExitStatus(int status) { exitStatuses_.push_back(status); }
    // Why the next program to be started cannot be; without one queued, programs start.
    void queueStartFailure(std::string reason) { startFailures_.push_back(std::move(reason)); }

    // Opens the dialog as a modal run would, and leaves it open for the test to drive. The
    // window lives as long as the platform.
    HeadlessWindow& open(Dialog& dialog);

    struct MessageBoxRecord {
        std::string text;
        MessageBoxButtons buttons;
        int answer;
    };
    struct ModalRecord {
        int templateId;
        std::string caption;
        std::vector<std::string> texts;  // the captions of its controls, in template order
        int result;
    };
    const std::vector<MessageBoxRecord>& messageBoxes() const { return messageBoxes_; }
    const std::vector<FileDialogRequest>& fileDialogs() const { return fileDialogs_; }
    const std::vector<ProgramCommand>& startedPrograms() const { return startedPrograms_; }
    const std::vector<ModalRecord>& modalRuns() const { return modalRuns_; }
    // The plot windows shown, and the texts put on the clipboard.
    const std::vector<PlotWindowRequest>& plots() const { return plots_; }
    const std::vector<std::string>& clipboard() const { return clipboard_; }
    // Begins less ends: 0 when every begin has had its end.
    int waitCursorBalance() const { return waitCursorBalance_; }
    int waitCursorBegins() const { return waitCursorBegins_; }
    // Answers queued but never asked for.
    std::size_t unusedAnswers() const {
        return messageBoxAnswers_.size() + fileDialogAnswers_.size() + modalScripts_.size() +
               startFailures_.size() + whileRunning_.size() + exitStatuses_.size();
    }

    int runModal(Dialog& dialog) override;
    int messageBox(const std::string& text, MessageBoxButtons buttons) override;
    std::optional<std::string> runFileDialog(const FileDialogRequest& request) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
    std::optional<std::string> startProgram(const ProgramCommand& command) override;
    void showPlot(const PlotWindowRequest& request) override { plots_.push_back(request); }
    bool copyToClipboard(const std::string& text) override {
        clipboard_.push_back(text);
        return true;
    }

  protected:
    void handlePendingEvents() override;

  private:
    std::unique_ptr<HeadlessWindow> createWindow(Dialog& dialog);

    std::deque<int> messageBoxAnswers_;
    std::deque<std::optional<std::string>> fileDialogAnswers_;
    std::deque<std::function<void(HeadlessWindow&)>> modalScripts_;
    std::deque<std::string> startFailures_;
    std::deque<std::function<void()>> whileRunning_;
    std::deque<int> exitStatuses_;
    std::list<std::unique_ptr<HeadlessWindow>> openWindows_;

    std::vector<MessageBoxRecord> messageBoxes_;
    std::vector<FileDialogRequest> fileDialogs_;
    std::vector<ProgramCommand> startedPrograms_;
    std::vector<ModalRecord> modalRuns_;
    std::vector<PlotWindowRequest> plots_;
    std::vector<std::string> clipboard_;
    int waitCursorBalance_ = 0;
    int waitCursorBegins_ = 0;
};
