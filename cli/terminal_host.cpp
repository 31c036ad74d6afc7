#include "terminal_host.h"

#include <unistd.h>

#include <cstring>

#include "run_warnings.h"

namespace {

bool isTerminal(std::FILE* file) {
    return file && isatty(fileno(file)) == 1;
}

// The progress line's clock moves at least this often within an area.
constexpr auto kTick = std::chrono::milliseconds(500);

}  // namespace

TerminalHost::TerminalHost(Settings settings, std::FILE* input, std::FILE* errors)
    : settings_(settings), input_(input), errors_(errors) {
    settings_.showProgress = settings_.showProgress && isTerminal(errors_);
}

TerminalHost::~TerminalHost() {
    finish();
}

void TerminalHost::clearProgress() {
    if (!progressShowing_) return;
    std::fprintf(errors_, "\r\033[K");
    std::fflush(errors_);
    progressShowing_ = false;
}

void TerminalHost::printLine(const std::string& text) {
    std::lock_guard<std::mutex> hold(lock_);
    clearProgress();
    std::fprintf(errors_, "%s\n", text.c_str());
    std::fflush(errors_);
}

void TerminalHost::showMessage(const std::string& text) {
    messageShown_ = true;
    printLine(text);
}

void TerminalHost::setDataSizeText(const std::string& text) {
    printLine(text);
}

void TerminalHost::dataFileUnreadable(const std::string& path, int error) {
    printLine("cannot open '" + path + "': " + std::strerror(error));
}

void TerminalHost::beforeFirstArea(const RunPreview& preview) {
    for (const std::string& line : runWarnings(preview)) printLine(line);
}

bool TerminalHost::askYesNo(const std::string& text) {
    // The size is already on its own line; the question's first line repeats it.
    std::string question = text.substr(text.find('\n') + 1);
    if (settings_.answerYes) return true;
    if (!isTerminal(input_)) {
        printLine(question + " No: standard input is not a terminal; pass --yes to answer Yes");
        return false;
    }
    {
        std::lock_guard<std::mutex> hold(lock_);
        clearProgress();
        std::fprintf(errors_, "%s [y/N] ", question.c_str());
        std::fflush(errors_);
    }
    char answer[64];
    if (!std::fgets(answer, sizeof answer, input_)) return false;
    return answer[0] == 'y' || answer[0] == 'Y';
}

void TerminalHost::drawProgress() {
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::fprintf(errors_, "\r\033[KArea %d (%d of %d), %.1f s", area_, index_ + 1, count_, seconds);
    std::fflush(errors_);
    progressShowing_ = true;
}

void TerminalHost::areaStarted(int k, int count, int area) {
    if (!settings_.showProgress) return;
    std::lock_guard<std::mutex> hold(lock_);
    area_ = area;
    index_ = k;
    count_ = count;
    drawProgress();
    if (!clock_.joinable()) clock_ = std::thread([this] { tick(); });
}

void TerminalHost::tick() {
    std::unique_lock<std::mutex> hold(lock_);
    while (!wake_.wait_for(hold, kTick, [this] { return stopping_; }))
        if (progressShowing_) drawProgress();
}

void TerminalHost::finish() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
        clearProgress();
    }
    wake_.notify_all();
    if (clock_.joinable()) clock_.join();
}

void TerminalHost::announceResults(const std::string& resultsFile) {
    if (!settings_.showProgress) return;
    printLine("Results in " + resultsFile);
}
