#include "dialog.h"

#include <exception>
#include <new>

#include "dialog_window.h"
#include "platform.h"

Dialog::Dialog(const DialogTemplate& dialogTemplate, Platform& platform)
    : template_(dialogTemplate), platform_(platform) {}

int Dialog::doModal() {
    return platform_.runModal(*this);
}

bool Dialog::updateData(bool saveAndValidate) {
    if (!window_) return false;
    DataExchange exchange(*this, *window_, platform_, saveAndValidate);
    doDataExchange(exchange);
    return !exchange.failed();
}

void Dialog::endDialog(int result) {
    if (window_) window_->endModal(result);
}

bool Dialog::initDialog() {
    // The items go in before the first exchange, which selects by index.
    for (const ListInitData& list : template_.initData)
        for (const std::string& item : list.items) window_->addListItem(list.controlId, item);
    bool focusFirst = true;
    guarded([&] { focusFirst = OnInitDialog(); });
    return focusFirst;
}

bool Dialog::OnInitDialog() {
    updateData(false);
    return true;
}

void Dialog::OnOK() {
    if (updateData(true)) endDialog(kIdOk);
}

void Dialog::OnCancel() {
    endDialog(kIdCancel);
}

void Dialog::bindCommand(int id, std::function<void()> handler) {
    commands_[id] = std::move(handler);
}

void Dialog::command(int id) {
    auto bound = commands_.find(id);
    if (bound != commands_.end()) return guarded(bound->second);
    if (id == kIdOk) return guarded([this] { OnOK(); });
    if (id == kIdCancel) return guarded([this] { OnCancel(); });
}

bool Dialog::systemCommand(int id) {
    bool handled = true;
    guarded([&] { handled = OnSysCommand(id); });
    return handled;
}

bool Dialog::paint() {
    bool painted = false;
    guarded([&] { painted = OnPaint(); });
    return painted;
}

void Dialog::guarded(const std::function<void()>& handler) {
    // The program's own code raises nothing; what reaches here is the allocator's exhaustion
    // (or a toolkit's failure), and the user must learn of it without losing the dialog.
    try {
        handler();
    } catch (const std::bad_alloc&) {
        platform_.messageBox("Out of memory.", MessageBoxButtons::kOk);
    } catch (const std::exception& error) {
        platform_.messageBox(error.what(), MessageBoxButtons::kOk);
    }
}
