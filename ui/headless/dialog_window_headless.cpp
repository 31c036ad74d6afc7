#include "dialog_window_headless.h"

#include <stdexcept>

#include "dialog.h"

HeadlessWindow::HeadlessWindow(Dialog& dialog)
    : dialog_(dialog), template_(dialog.dialogTemplate()) {
    for (const ControlTemplate& c : template_.controls)
        if (c.id != kIdStatic) controls_[c.id] = Control{c.kind, c.caption, false, {}, -1};
}

HeadlessWindow::Control& HeadlessWindow::control(int id) {
    auto found = controls_.find(id);
    if (found == controls_.end())
        throw std::logic_error("no control " + std::to_string(id) + " in the dialog");
    return found->second;
}

const HeadlessWindow::Control& HeadlessWindow::control(int id) const {
    return const_cast<HeadlessWindow*>(this)->control(id);
}

void HeadlessWindow::requireOpen() const {
    if (ended_) throw std::logic_error("the dialog has ended");
}

void HeadlessWindow::type(int id, const std::string& text) {
    requireOpen();
    if (control(id).kind != ControlKind::kEdit) throw std::logic_error("typing into a non-edit");
    focus_ = id;
    control(id).text = text;
}

void HeadlessWindow::tick(int id, bool checked) {
    requireOpen();
    if (control(id).kind != ControlKind::kCheckBox) throw std::logic_error("ticking a non-box");
    focus_ = id;
    control(id).checked = checked;
}

void HeadlessWindow::pick(int id, int index) {
    requireOpen();
    Control& list = control(id);
    if (list.kind != ControlKind::kDropDownList || index < 0 ||
        index >= static_cast<int>(list.items.size()))
        throw std::logic_error("picking an item that is not there");
    focus_ = id;
    list.selection = index;
}

void HeadlessWindow::click(int id) {
    requireOpen();
    if (control(id).kind != ControlKind::kPushButton)
        throw std::logic_error("clicking a non-button");
    focus_ = id;
    dialog_.command(id);
}

void HeadlessWindow::pressEnter() {
    requireOpen();
    auto focused = controls_.find(focus_);
    if (focused != controls_.end() && focused->second.kind == ControlKind::kPushButton)
        return click(focus_);
    dialog_.command(kIdOk);
}

void HeadlessWindow::pressEscape() {
    requireOpen();
    dialog_.command(kIdCancel);
}

void HeadlessWindow::chooseSystemCommand(int id) {
    requireOpen();
    dialog_.systemCommand(id);
}

bool HeadlessWindow::paint() {
    lastPaint_ = PaintRecord{};
    return dialog_.paint();
}

std::vector<std::string> HeadlessWindow::listItems(int id) const {
    return control(id).items;
}

const IconResource* HeadlessWindow::icon(IconSize size) const {
    return size == IconSize::kBig ? bigIcon_ : smallIcon_;
}

std::string HeadlessWindow::text(int id) const {
    return control(id).text;
}

void HeadlessWindow::setText(int id, const std::string& text) {
    control(id).text = text;
}

bool HeadlessWindow::checked(int id) const {
    return control(id).checked;
}

void HeadlessWindow::setChecked(int id, bool checked) {
    control(id).checked = checked;
}

void HeadlessWindow::addListItem(int id, const std::string& item) {
    control(id).items.push_back(item);
}

int HeadlessWindow::listSelection(int id) const {
    return control(id).selection;
}

void HeadlessWindow::setListSelection(int id, int index) {
    Control& list = control(id);
    list.selection = index >= 0 && index < static_cast<int>(list.items.size()) ? index : -1;
}

bool HeadlessWindow::hasSystemMenu() const {
    return (template_.style & kDialogSystemMenu) != 0;
}

void HeadlessWindow::appendSystemMenuSeparator() {
    systemMenu_.push_back({true, 0, {}});
}

void HeadlessWindow::appendSystemMenuItem(int commandId, const std::string& text) {
    systemMenu_.push_back({false, commandId, text});
}

void HeadlessWindow::setIcon(IconSize size, const IconResource& icon) {
    (size == IconSize::kBig ? bigIcon_ : smallIcon_) = &icon;
}

void HeadlessWindow::clientSize(int& width, int& height) const {
    width = kIconicClientWidth;
    height = kIconicClientHeight;
}

void HeadlessWindow::systemIconSize(int& width, int& height) const {
    width = kSystemIconSize;
    height = kSystemIconSize;
}

void HeadlessWindow::drawIcon(int x, int y, const IconResource&) {
    lastPaint_.iconDrawn = true;
    lastPaint_.x = x;
    lastPaint_.y = y;
}

void HeadlessWindow::endModal(int result) {
    ended_ = true;
    result_ = result;
}

int HeadlessWindow::firstTabStop() const {
    for (const ControlTemplate& c : template_.controls)
        if (c.style & kTabStop) return c.id;
    return 0;
}
