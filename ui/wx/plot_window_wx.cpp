// The desktop backend's plot window: the plot drawn from its marks, the summary under it, and
// the buttons Save plot..., Copy and Close.

#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dcbuffer.h>
#include <wx/dialog.h>
#include <wx/graphics.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <cmath>
#include <memory>

#include "platform_wx.h"
#include "plot_drawing_wx.h"
#include "text_bytes_wx.h"

namespace {

// The window that draws a scene at its size, a point to a pixel.
class PlotCanvas : public wxWindow {
  public:
    PlotCanvas(wxWindow* parent, const PlotScene& scene)
        : wxWindow(parent, wxID_ANY, wxDefaultPosition,
                   wxSize(static_cast<int>(std::ceil(scene.width)),
                          static_cast<int>(std::ceil(scene.height)))),
          scene_(scene) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxAutoBufferedPaintDC dc(this);
            std::unique_ptr<wxGraphicsContext> context(wxGraphicsContext::Create(dc));
            if (context) drawSceneWx(*context, scene_);
        });
    }

  private:
    const PlotScene& scene_;
};

}  // namespace

void WxPlatform::showPlot(const PlotWindowRequest& request) {
    wxDialog window(activeWindow(), wxID_ANY, fromBytes(request.title));
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(new PlotCanvas(&window, request.scene), 0, wxALL, 8);
    column->Add(new wxStaticText(&window, wxID_ANY, fromBytes(request.summary)), 0,
                wxLEFT | wxRIGHT, 12);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* save = new wxButton(&window, wxID_ANY, "Save plot...");
    auto* copy = new wxButton(&window, wxID_ANY, "Copy");
    buttons->Add(save, 0, wxRIGHT, 8);
    buttons->Add(copy, 0, wxRIGHT, 8);
    buttons->Add(new wxButton(&window, wxID_OK, "Close"), 0);
    column->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 8);
    save->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        active_.push_back(&window);
        savePlotAs(*this, request);
        active_.pop_back();
    });
    copy->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        if (!copyToClipboard(request.copyText)) {
            active_.push_back(&window);
            messageBox("Cannot open the clipboard", MessageBoxButtons::kOk);
            active_.pop_back();
        }
    });
    window.SetSizerAndFit(column);
    window.CenterOnParent();
    window.ShowModal();
}

bool WxPlatform::copyToClipboard(const std::string& text) {
    if (!wxTheClipboard->Open()) return false;
    const bool copied = wxTheClipboard->SetData(new wxTextDataObject(fromBytes(text)));
    // Keep the text on the clipboard after the program ends, where the system can.
    wxTheClipboard->Flush();
    wxTheClipboard->Close();
    return copied;
}
