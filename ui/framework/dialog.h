#pragma once

#include <functional>
#include <map>

#include "data_exchange.h"
#include "dialog_template.h"
#include "icon.h"

class DialogWindow;
class Platform;

// A modal dialog built from a template. A program derives from it, lists its bindings in
// doDataExchange and connects its buttons with onCommand; the backend builds the window, calls
// the hooks below and routes the user's commands to it.
//
// Enter (while the focus is not on a push button) issues kIdOk, which exchanges the controls into
// the fields and ends the dialog only if that succeeds; Escape and the close box issue kIdCancel,
// which ends it at once.
class Dialog {
  public:
    Dialog(const DialogTemplate& dialogTemplate, Platform& platform);
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    const DialogTemplate& dialogTemplate() const { return template_; }
    Platform& platform() { return platform_; }
    // The live window, null outside the modal run.
    DialogWindow* window() { return window_; }

    // Runs the dialog modally; the code it ended with.
    int doModal();
    // Exchanges the controls and the fields in one pass; false when a text did not convert.
    bool updateData(bool saveAndValidate = true);
    // Ends the modal run with this code.
    void endDialog(int result);

    // Called by the backends.
    void attachWindow(DialogWindow* window) { window_ = window; }
    // Fills the lists from the template's initial data and calls OnInitDialog: true when the
    // focus is to go to the first control with a tab stop.
    bool initDialog();
    // A push button was clicked, or Enter or Escape issued kIdOk or kIdCancel. An exception
    // that escapes the handler is shown in a message box, and the dialog stays open.
    void command(int id);
    // An entry of the system menu was chosen; false when the dialog left it to the platform.
    bool systemCommand(int id);
    // The window needs painting; false leaves it to the platform.
    bool paint();

  protected:
    // Binds a push button (or kIdOk, kIdCancel) to its handler.
    void bindCommand(int id, std::function<void()> handler);

    virtual void doDataExchange(DataExchange&) {}
    // Exchanges the fields into the controls; true puts the focus on the first tab stop.
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // False hands the command to the platform's default handling.
    virtual bool OnSysCommand(int /*id*/) { return false; }
    virtual bool OnPaint() { return false; }

  public:
    // The picture to show while the minimised dialog is dragged; null for the platform's own.
    virtual const IconResource* OnQueryDragIcon() { return nullptr; }

  private:
    // Runs a handler, showing what escapes it.
    void guarded(const std::function<void()>& handler);

    const DialogTemplate& template_;
    Platform& platform_;
    DialogWindow* window_ = nullptr;
    std::map<int, std::function<void()>> commands_;
};
