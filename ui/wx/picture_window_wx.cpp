// The desktop backend's picture window: a PNG above its text, with a Close button.

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/mstream.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "platform_wx.h"
#include "text_bytes_wx.h"

void WxPlatform::showPicture(const std::string& title, const std::string& png,
                             const std::string& text) {
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    wxMemoryInputStream stream(png.data(), png.size());
    wxImage image(stream, wxBITMAP_TYPE_PNG);

    wxDialog window(activeWindow(), wxID_ANY, fromBytes(title));
    auto* column = new wxBoxSizer(wxVERTICAL);
    if (image.IsOk())
        column->Add(new wxStaticBitmap(&window, wxID_ANY, wxBitmap(image)), 0, wxALL, 8);
    column->Add(new wxStaticText(&window, wxID_ANY, fromBytes(text)), 0, wxLEFT | wxRIGHT, 12);
    column->Add(new wxButton(&window, wxID_OK, "Close"), 0, wxALIGN_RIGHT | wxALL, 8);
    window.SetSizerAndFit(column);
    window.CenterOnParent();
    window.ShowModal();
}
