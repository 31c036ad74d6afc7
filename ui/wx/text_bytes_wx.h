#pragma once

#include <wx/string.h>

#include <string>

// The program's strings are the system's 8-bit text, UTF-8 here. Bytes that are not UTF-8 are
// shown as Latin-1 rather than dropped (and come back as UTF-8).
inline wxString fromBytes(const std::string& text) {
    wxString converted = wxString::FromUTF8(text.data(), text.size());
    if (converted.empty() && !text.empty())
        converted = wxString(text.data(), wxConvISO8859_1, text.size());
    return converted;
}

inline std::string toBytes(const wxString& text) {
    wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}
