#pragma once

// The program's version, shown by --version and in the About box.
inline constexpr const char* kVantrelVersion = "1.0.0.1";
