#include "terminal_host.h"

#include <unistd.h>

namespace {

bool isTerminal(std::FILE* file) { return file && isatty(fileno(file)) == 1; }

}  // namespace

TerminalHost::TerminalHost(Settings settings, std::FILE* input, std::FILE* errors)
    : settings_(settings), input_(input), errors_(errors) {
    settings_.showProgress = settings_.showProgress && isTerminal(errors_);
}

void TerminalHost::printLine(const std::string& text) {
    finish();
    std::fprintf(errors_, "%s\n", text.c_str());
    std::fflush(errors_);
}

void TerminalHost::showMessage(const std::string& text) {
    messageShown_ = true;
    printLine(text);
}

void TerminalHost::setDataSizeText(const std::string& text) { printLine(text); }

bool TerminalHost::askYesNo(const std::string& text) {
    // The size is already on its own line; the question's first line repeats it.
    std::string question = text.substr(text.find('\n') + 1);
    if (settings_.answerYes) return true;
    if (!isTerminal(input_)) {
        printLine(question + " No: standard input is not a terminal; pass --yes to answer Yes");
        return false;
    }
    finish();
    std::fprintf(errors_, "%s [y/N] ", question.c_str());
    std::fflush(errors_);
    char answer[64];
    if (!std::fgets(answer, sizeof answer, input_)) return false;
    return answer[0] == 'y' || answer[0] == 'Y';
}

void TerminalHost::areaStarted(int k, int count, int area) {
    if (!settings_.showProgress) return;
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::fprintf(errors_, "\r\033[KArea %d (%d of %d), %.1f s", area, k + 1, count, seconds);
    std::fflush(errors_);
    progressShowing_ = true;
}

void TerminalHost::finish() {
    if (!progressShowing_) return;
    std::fprintf(errors_, "\r\033[K");
    std::fflush(errors_);
    progressShowing_ = false;
}
