#include "platform_headless.h"

#include "dialog.h"

std::unique_ptr<HeadlessWindow> HeadlessPlatform::createWindow(Dialog& dialog) {
    auto window = std::make_unique<HeadlessWindow>(dialog);
    dialog.attachWindow(window.get());
    if (dialog.initDialog()) window->setFocus(window->firstTabStop());
    return window;
}

HeadlessWindow& HeadlessPlatform::open(Dialog& dialog) {
    openWindows_.push_back(createWindow(dialog));
    return *openWindows_.back();
}

int HeadlessPlatform::runModal(Dialog& dialog) {
    std::unique_ptr<HeadlessWindow> window = createWindow(dialog);
    std::function<void(HeadlessWindow&)> script;
    if (!modalScripts_.empty()) {
        script = std::move(modalScripts_.front());
        modalScripts_.pop_front();
    }
    if (script && !window->ended()) script(*window);
    if (!window->ended()) window->pressEscape();

    ModalRecord record{
        dialog.dialogTemplate().id, dialog.dialogTemplate().caption, {}, window->result()};
    for (const ControlTemplate& c : dialog.dialogTemplate().controls)
        record.texts.push_back(c.id == kIdStatic ? c.caption : window->text(c.id));
    modalRuns_.push_back(record);
    dialog.attachWindow(nullptr);
    return window->result();
}

int HeadlessPlatform::messageBox(const std::string& text, MessageBoxButtons buttons) {
    int answer = buttons == MessageBoxButtons::kOk ? kAnswerOk : kAnswerNo;
    if (!messageBoxAnswers_.empty()) {
        answer = messageBoxAnswers_.front();
        messageBoxAnswers_.pop_front();
    }
    messageBoxes_.push_back({text, buttons, answer});
    return answer;
}

std::optional<std::string> HeadlessPlatform::runFileDialog(const FileDialogRequest& request) {
    fileDialogs_.push_back(request);
    if (fileDialogAnswers_.empty()) return std::nullopt;
    std::optional<std::string> answer = std::move(fileDialogAnswers_.front());
    fileDialogAnswers_.pop_front();
    return answer;
}

void HeadlessPlatform::handlePendingEvents() {
    // The user acts once the work is past its load, whose wait cursor has come and gone.
    if (whileRunning_.empty() || waitCursorBegins_ == 0 || waitCursorBalance_ != 0) return;
    std::function<void()> action = std::move(whileRunning_.front());
    whileRunning_.pop_front();
    action();
}

void HeadlessPlatform::beginWaitCursor() {
    ++waitCursorBalance_;
    ++waitCursorBegins_;
}

void HeadlessPlatform::endWaitCursor() {
    --waitCursorBalance_;
}

std::optional<std::string> HeadlessPlatform::startProgram(const ProgramCommand& command) {
    if (startFailures_.empty()) {
        startedPrograms_.push_back(command);
        // The program ends at once, and what its status means is shown as the desktop shows it.
        if (!exitStatuses_.empty()) {
            const int status = exitStatuses_.front();
            exitStatuses_.pop_front();
            const std::string problem = command.exitProblem ? command.exitProblem(status) : "";
            if (!problem.empty()) messageBox(problem, MessageBoxButtons::kOk);
        }
        return std::nullopt;
    }
    std::string reason = std::move(startFailures_.front());
    startFailures_.pop_front();
    return reason;
}
