#include <wx/app.h>
#include <wx/debug.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "application.h"
#include "desktop_entry.h"
#include "platform_wx.h"

namespace {

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

// The toolkit's application object: it hands start-up to the program's own and ends the
// program when that returns, without a message loop of its own.
class DesktopApp : public wxApp {
  public:
    explicit DesktopApp(Application& application) : application_(application) {}

    // A display that is named but cannot be opened ends start-up with one line, rather than in
    // the toolkit's own message box, which would need that very display.
    bool Initialize(int& argc, wxChar** argv) override {
        bool started = false;
        {
            wxLogNull quiet;
            started = wxApp::Initialize(argc, argv);
        }
        if (!started) {
            const char* display = std::getenv(isSet("DISPLAY") ? "DISPLAY" : "WAYLAND_DISPLAY");
            std::fprintf(stderr,
                         "vantrel could not open the graphical display %s; vantrel-cli "
                         "works without one\n",
                         display ? display : "");
        }
        return started;
    }

    // The program reads no command-line options of its own, so wxApp's parsing is skipped.
    bool OnInit() override {
        // GTK takes the user's locale, which may write numbers with decimal commas; the
        // program's numbers are always in the "C" form.
        std::setlocale(LC_NUMERIC, "C");
        return true;
    }

    int OnRun() override {
        WxPlatform platform;
        return application_.run(platform);
    }

  private:
    Application& application_;
};

#ifndef NDEBUG
// A toolkit assertion is a check for developers, never for the user's eyes in its own box (whose
// Stop button would end the program and lose the user's settings). Where one is still enabled,
// it is told in the program's own message box, and the program carries on.
void reportAssertion(const wxString& file, int line, const wxString& function,
                     const wxString& condition, const wxString& message) {
    static bool reporting = false;
    if (reporting) return;  // a second one raised while the first is shown
    reporting = true;
    wxString text = wxString::Format(
        "The window toolkit reported an internal fault:\n%s(%d) in "
        "%s: %s\n\nVantrel carries on.",
        file, line, function, message.empty() ? condition : message);
    std::fprintf(stderr, "%s\n", static_cast<const char*>(text.utf8_str()));
    wxMessageDialog(nullptr, text, "Vantrel", wxOK | wxICON_EXCLAMATION).ShowModal();
    reporting = false;
}
#endif

}  // namespace

int runDesktopApplication(int argc, char** argv, Application& application) {
#if defined(__WXGTK__)
    // Without a display GTK would end the program with a trap and a message of its own.
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "vantrel needs a graphical display (DISPLAY is not set); "
                     "vantrel-cli works without one\n");
        return 1;
    }
#endif
#ifdef NDEBUG
    // Release builds check nothing, as the toolkit's own start-up would have arranged.
    wxDisableAsserts();
#else
    wxSetAssertHandler(reportAssertion);
#endif
    wxApp::SetInstance(new DesktopApp(application));
    int status = wxEntry(argc, argv);
    // -1: the toolkit could not start, and has said why.
    return status == -1 ? 1 : status;
}
