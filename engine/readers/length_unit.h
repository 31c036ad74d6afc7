#pragma once

#include <optional>
#include <string>
#include <string_view>

// The length units that instruments and their exports write, in the spellings they use: "um",
// "µm" (in UTF-8, with the micro sign or the Greek mu, or in Latin-1), "micron", "micrometre",
// "nm", "Å" or "angstrom", "mm", "m", "metre", ... in any case of the ASCII letters. Each is known
// by one symbol, which is what a report shows.
struct LengthUnit {
    const char* symbol;  // "µm", "nm", "Å", "m", ...
    int powerOfTen;      // its size in metres: 10^powerOfTen
};

// The unit that `text` spells (blanks around it allowed); nothing for any other text, the empty
// one included. A lone "A" is the ångström (a length); the caller that reads a value's unit,
// where "A" is the ampere, asks lengthUnitOf only for other texts.
std::optional<LengthUnit> lengthUnitOf(std::string_view text);

// A unit as reports show it: a known length unit by its symbol ("um" is "µm", "metre" is "m"),
// any other text as it is written. For a value's unit (`ofValues`), "A" is the ampere and stays.
std::string unitText(std::string_view text, bool ofValues);

// `length` given in `from` told in `to`: multiplied or divided by the power of ten between them,
// so that 5000 nm is exactly 5 µm.
double convertLength(double length, const LengthUnit& from, const LengthUnit& to);
