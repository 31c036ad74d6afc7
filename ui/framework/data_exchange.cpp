#include "data_exchange.h"

#include "dialog.h"
#include "dialog_window.h"
#include "number_text.h"
#include "platform.h"

void StaticControl::attach(Dialog& dialog, int id) {
    dialog_ = &dialog;
    id_ = id;
}

void StaticControl::setText(const std::string& text) {
    if (dialog_ && dialog_->window()) dialog_->window()->setText(id_, text);
}

DataExchange::DataExchange(Dialog& dialog, DialogWindow& window, Platform& platform,
                           bool saveAndValidate)
    : dialog_(dialog), window_(window), platform_(platform), saveAndValidate_(saveAndValidate) {}

void DataExchange::fail(int id, const std::string& message) {
    // The message comes first: its box takes the focus while it shows, and the focus must end
    // on the field the user has to correct.
    platform_.messageBox(message, MessageBoxButtons::kOk);
    window_.setFocus(id);
    failed_ = true;
}

void DataExchange::control(int id, StaticControl& field) {
    if (failed_) return;
    if (!field.attached()) field.attach(dialog_, id);
}

void DataExchange::text(int id, std::string& field) {
    if (failed_) return;
    if (saveAndValidate_)
        field = window_.text(id);
    else
        window_.setText(id, field);
}

void DataExchange::integer(int id, int& field) {
    if (failed_) return;
    if (!saveAndValidate_) return window_.setText(id, formatInteger(field));
    if (!parseIntegerText(window_.text(id), field)) fail(id, kIntegerExpected);
}

void DataExchange::real(int id, double& field) {
    if (failed_) return;
    if (!saveAndValidate_) return window_.setText(id, formatReal(field));
    if (!parseRealText(window_.text(id), field)) fail(id, kNumberExpected);
}

void DataExchange::check(int id, int& field) {
    if (failed_) return;
    if (saveAndValidate_)
        field = window_.checked(id) ? 1 : 0;
    else
        window_.setChecked(id, field != 0);
}

void DataExchange::listIndex(int id, int& field) {
    if (failed_) return;
    if (saveAndValidate_)
        field = window_.listSelection(id);
    else
        window_.setListSelection(id, field);
}
