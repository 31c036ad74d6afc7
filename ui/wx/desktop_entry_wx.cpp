#include <wx/app.h>

#include <clocale>

#include "application.h"
#include "desktop_entry.h"
#include "platform_wx.h"

namespace {

// The toolkit's application object: it hands start-up to the program's own and ends the
// program when that returns, without a message loop of its own.
class DesktopApp : public wxApp {
  public:
    explicit DesktopApp(Application& application) : application_(application) {}

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

}  // namespace

int runDesktopApplication(int argc, char** argv, Application& application) {
    wxApp::SetInstance(new DesktopApp(application));
    return wxEntry(argc, argv);
}
