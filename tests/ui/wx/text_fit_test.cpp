// Every template text fits its control in the real window, with the face this system has: the
// static texts and push buttons show their whole caption, a check box is as wide as its box and
// text, the group box's caption fits its frame, and every item fits the closed Type list. Run on
// a display of its own (with_display.sh).

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/init.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "about_dialog.h"
#include "dialog_window_wx.h"
#include "drop_down_list_wx.h"
#include "main_dialog.h"
#include "platform_wx.h"

namespace {

struct Misfit {
    std::string text;
    int needed;
    int width;
};

// The controls whose text does not fit, with what they need and what they have.
std::vector<Misfit> misfits(wxWindow& window) {
    std::vector<Misfit> found;
    for (wxWindow* child : window.GetChildren()) {
        const int width = child->GetSize().GetWidth();
        if (auto* list = dynamic_cast<WxDropDownList*>(child)) {
            // The list's own font, at the size it chose to fit: no smaller than the dialog's.
            if (list->GetFont().GetFractionalPointSize() <
                window.GetFont().GetFractionalPointSize())
                found.push_back({"the Type list's font", 0, 0});
            for (unsigned i = 0; i < list->GetCount(); ++i) {
                const int needed = list->GetTextExtent(list->GetString(i)).GetWidth() +
                                   2 * list->textPadding() + list->GetButtonSize().GetWidth();
                if (needed > width)
                    found.push_back({list->GetString(i).ToStdString(), needed, width});
            }
            continue;
        }
        auto* control = dynamic_cast<wxControl*>(child);
        if (!control) continue;
        const wxString text = control->GetLabelText();
        if (text.empty() || text == "...") continue;  // the path label starts empty
        int needed = control->GetTextExtent(text).GetWidth();
        if (dynamic_cast<wxCheckBox*>(control)) needed = control->GetBestSize().GetWidth();
        if (dynamic_cast<wxStaticBox*>(control)) needed += 2 * control->GetCharWidth();
        if (needed > width) found.push_back({text.ToStdString(), needed, width});
    }
    return found;
}

class TextFitTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "text_fit_test";
        static char* argv[] = {name, nullptr};
        wxApp::SetInstance(new wxApp);  // a GUI application, not the console one
        ASSERT_TRUE(wxInitialize(argc, argv)) << "no display to open windows on";
    }
    static void TearDownTestSuite() { wxUninitialize(); }

    void expectEveryTextFits(Dialog& dialog) {
        auto* window = new WxDialogWindow(nullptr, dialog);
        dialog.attachWindow(window);
        dialog.initDialog();
        window->Show();
        wxTheApp->Yield();
        for (const Misfit& misfit : misfits(*window))
            ADD_FAILURE() << "\"" << misfit.text << "\" needs " << misfit.needed
                          << " pixels and has " << misfit.width;
        dialog.attachWindow(nullptr);
        window->Destroy();
    }

    WxPlatform platform;
};

}  // namespace

TEST_F(TextFitTest, MainDialog) {
    MainDialog dialog(platform);
    expectEveryTextFits(dialog);
}

TEST_F(TextFitTest, AboutBox) {
    AboutDialog dialog(platform);
    expectEveryTextFits(dialog);
}
