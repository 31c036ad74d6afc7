#include "background_run_host.h"

#include "platform.h"

void BackgroundRunHost::showMessage(const std::string& text) {
    platform_.callOnUiThread([&] { shown_.showMessage(text); });
}

bool BackgroundRunHost::askYesNo(const std::string& text) {
    bool answer = false;
    platform_.callOnUiThread([&] { answer = shown_.askYesNo(text); });
    return answer;
}

void BackgroundRunHost::showNotice(const std::string& text) {
    platform_.callOnUiThread([&] { shown_.showNotice(text); });
}

void BackgroundRunHost::setDataSizeText(const std::string& text) {
    platform_.callOnUiThread([&] { shown_.setDataSizeText(text); });
}

void BackgroundRunHost::beginWaitCursor() {
    platform_.callOnUiThread([&] { shown_.beginWaitCursor(); });
}

void BackgroundRunHost::endWaitCursor() {
    platform_.callOnUiThread([&] { shown_.endWaitCursor(); });
}

void BackgroundRunHost::areaStarted(int k, int count, int area) {
    // Between two areas is a place where stopping leaves the files as a failed run does.
    throwIfCancelled(&token_);
    areaCount_.store(count);
    areaNumber_.store(k + 1);
    static_cast<void>(area);
}

void BackgroundRunHost::dataFileUnreadable(const std::string& path, int error) {
    platform_.callOnUiThread([&] { shown_.dataFileUnreadable(path, error); });
}

void BackgroundRunHost::beforeFirstArea(const RunPreview& preview) {
    platform_.callOnUiThread([&] { shown_.beforeFirstArea(preview); });
}
