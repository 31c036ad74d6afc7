#pragma once

#include <string>

class Dialog;
class DialogWindow;
class Platform;

// A label the program writes to after the first exchange has attached it to its control.
class StaticControl {
  public:
    void attach(Dialog& dialog, int id);
    bool attached() const { return dialog_ != nullptr; }
    // Sets the control's text while the dialog's window exists; does nothing otherwise.
    void setText(const std::string& text);

  private:
    Dialog* dialog_ = nullptr;
    int id_ = 0;
};

// One pass of data exchange between a dialog's controls and its fields, in the order the dialog
// lists its bindings.
//
// Into the fields, the pass stops at the first text that does not convert: the user is told that
// an integer (or a number) is expected, the focus goes to that control, and every later binding
// does nothing, so the fields before it keep their new values and that field and the ones after
// it keep their old ones. Into the controls, nothing can fail.
class DataExchange {
  public:
    DataExchange(Dialog& dialog, DialogWindow& window, Platform& platform, bool saveAndValidate);

    // True: from the controls into the fields.
    bool saveAndValidate() const { return saveAndValidate_; }
    bool failed() const { return failed_; }

    // Attaches the field to its control at the first exchange, whatever the direction.
    void control(int id, StaticControl& field);
    // Window text and string.
    void text(int id, std::string& field);
    // Window text and integer, read and shown as number_text.h says.
    void integer(int id, int& field);
    // Window text and real, read and shown as number_text.h says.
    void real(int id, double& field);
    // Check state and 0 or 1. Into the control, any value but 0 ticks the box.
    void check(int id, int& field);
    // The selected item's index, -1 for none. Into the control, an index that names no item
    // shows no selection.
    void listIndex(int id, int& field);

  private:
    void fail(int id, const std::string& message);

    Dialog& dialog_;
    DialogWindow& window_;
    Platform& platform_;
    bool saveAndValidate_;
    bool failed_ = false;
};

// The messages of a text that does not convert.
inline constexpr const char* kIntegerExpected = "Please enter an integer.";
inline constexpr const char* kNumberExpected = "Please enter a number.";
