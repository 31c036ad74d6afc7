#include "main_dialog.h"

#include "about_dialog.h"
#include "dialog_window.h"
#include "platform.h"
#include "resource_ids.h"
#include "resources.h"

MainDialog::MainDialog(Platform& platform)
    : Dialog(mainDialogTemplate(), platform), icon_(appIcon()) {
    bindWhenIdle(kIdcLoadConfig, &MainDialog::OnLoadConfig);
    bindWhenIdle(kIdcSaveConfig, &MainDialog::OnSaveConfig);
    bindWhenIdle(kIdcCalculate, &MainDialog::OnCalculate);
    bindWhenIdle(kIdcViewProgression, &MainDialog::OnViewProgression);
    bindWhenIdle(kIdcViewInput, &MainDialog::OnViewInput);
    bindWhenIdle(kIdcBrowseInput, &MainDialog::OnBrowseInput);
    bindWhenIdle(kIdcBrowseProgression, &MainDialog::OnBrowseProgression);
}

void MainDialog::bindWhenIdle(int id, void (MainDialog::*command)()) {
    // The run works on the dialog's own settings: nothing may change them under it, and a
    // second Calculate must not queue a second run.
    bindCommand(id, [this, command] {
        if (!running_) (this->*command)();
    });
}

void MainDialog::doDataExchange(DataExchange& exchange) {
    exchange.control(kIdcDataSize, dataSizeLabel_);
    exchange.text(kIdcConfigFileName, configFileName_);
    exchange.check(kIdcGenerateSurfaces, options_.generateSurfaces);
    exchange.check(kIdcOptimise, options_.optimise);
    exchange.integer(kIdcOutputPrecision, options_.outputPrecision);
    exchange.check(kIdcNormalise, options_.normalise);
    exchange.text(kIdcInputFile, settings_.inputFile);
    exchange.real(kIdcNShift, settings_.nShift);
    exchange.real(kIdcMShift, settings_.mShift);
    exchange.integer(kIdcFrom, settings_.from);
    exchange.integer(kIdcTo, settings_.to);
    exchange.integer(kIdcStep, settings_.step);
    exchange.listIndex(kIdcProgressionType, settings_.progressionType);
    exchange.check(kIdcUseProgressionFile, settings_.useProgressionFile);
    exchange.text(kIdcProgressionFile, settings_.progressionFile);
}

bool MainDialog::OnInitDialog() {
    Dialog::OnInitDialog();

    DialogWindow& dialogWindow = *window();
    if (dialogWindow.hasSystemMenu()) {
        std::string aboutEntry = loadString(kIdsAboutBox);
        if (!aboutEntry.empty()) {
            dialogWindow.appendSystemMenuSeparator();
            dialogWindow.appendSystemMenuItem(kIdmAboutBox, aboutEntry);
            dialogWindow.appendSystemMenuItem(kIdmAnalyseResults, "Analyse results...");
            dialogWindow.appendSystemMenuItem(kIdmMapRoughness, "Map roughness...");
        }
    }
    dialogWindow.setIcon(DialogWindow::IconSize::kBig, icon_);
    dialogWindow.setIcon(DialogWindow::IconSize::kSmall, icon_);
    return true;
}

bool MainDialog::OnSysCommand(int id) {
    if (id == kIdmAnalyseResults) {
        if (!running_) OnAnalyseResults();
        return true;
    }
    if (id == kIdmMapRoughness) {
        if (!running_) OnMapRoughness();
        return true;
    }
    if ((id & 0xFFF0) != kIdmAboutBox) return false;
    AboutDialog about(platform());
    about.doModal();
    return true;
}

bool MainDialog::OnPaint() {
    DialogWindow& dialogWindow = *window();
    if (!dialogWindow.isIconic()) return false;
    dialogWindow.eraseIconBackground();
    int iconWidth = 0, iconHeight = 0, clientWidth = 0, clientHeight = 0;
    dialogWindow.systemIconSize(iconWidth, iconHeight);
    dialogWindow.clientSize(clientWidth, clientHeight);
    // Centred; an odd pixel left over goes to the right (the division truncates toward zero).
    int x = (clientWidth - iconWidth + 1) / 2;
    int y = (clientHeight - iconHeight + 1) / 2;
    dialogWindow.drawIcon(x, y, icon_);
    return true;
}

void MainDialog::OnOK() {
    if (!running_) Dialog::OnOK();
}

void MainDialog::OnCancel() {
    if (!running_) return Dialog::OnCancel();
    if (mapping_) return cancel_.requestCancel();
    if (closeWhenStopped_) return;  // asked and answered already
    if (platform().messageBox(kStopRunQuestion, MessageBoxButtons::kYesNo) == kAnswerNo) return;
    closeWhenStopped_ = true;
    cancel_.requestCancel();
}

void MainDialog::showProgress(int areaNumber, int areaCount) {
    const std::string& caption = dialogTemplate().caption;
    std::string shown = caption;
    if (running_ && areaCount > 0)
        shown += " - area " + std::to_string(areaNumber) + " of " + std::to_string(areaCount);
    if (shown == shownCaption_ || !window()) return;
    shownCaption_ = shown;
    window()->setTitle(shown);
}

void MainDialog::showBusyTitle(const std::string& doing) {
    const std::string shown = dialogTemplate().caption + " - " + doing;
    if (shown == shownCaption_ || !window()) return;
    shownCaption_ = shown;
    window()->setTitle(shown);
}

void MainDialog::showMessage(const std::string& text) {
    platform().messageBox(loadNote_.addTo(text), MessageBoxButtons::kOk);
}

bool MainDialog::askYesNo(const std::string& text) {
    const bool yes = platform().messageBox(text, MessageBoxButtons::kYesNo) != kAnswerNo;
    if (!yes) loadNote_.declined();
    return yes;
}

void MainDialog::dataFileUnreadable(const std::string& path, int error) {
    loadNote_.unreadable(path, error);
}

void MainDialog::setDataSizeText(const std::string& text) {
    dataSizeLabel_.setText(text);
}

void MainDialog::beginWaitCursor() {
    platform().beginWaitCursor();
}

void MainDialog::endWaitCursor() {
    platform().endWaitCursor();
}
