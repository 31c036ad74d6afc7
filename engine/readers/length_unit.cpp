#include "length_unit.h"

#include <cmath>

#include "text_scan.h"

namespace {

struct Spelling {
    const char* text;  // ASCII letters in lower case; other bytes as they are written
    LengthUnit unit;
};

const LengthUnit kMetre{"m", 0}, kKilometre{"km", 3}, kCentimetre{"cm", -2}, kMillimetre{"mm", -3},
    kMicrometre{"\xC2\xB5m", -6}, kNanometre{"nm", -9}, kAngstrom{"\xC3\x85", -10},
    kPicometre{"pm", -12};

const Spelling kSpellings[] = {
    {"m", kMetre},
    {"metre", kMetre},
    {"metres", kMetre},
    {"meter", kMetre},
    {"meters", kMetre},
    {"km", kKilometre},
    {"kilometre", kKilometre},
    {"kilometres", kKilometre},
    {"kilometer", kKilometre},
    {"kilometers", kKilometre},
    {"cm", kCentimetre},
    {"centimetre", kCentimetre},
    {"centimetres", kCentimetre},
    {"centimeter", kCentimetre},
    {"centimeters", kCentimetre},
    {"mm", kMillimetre},
    {"millimetre", kMillimetre},
    {"millimetres", kMillimetre},
    {"millimeter", kMillimetre},
    {"millimeters", kMillimetre},
    {"um", kMicrometre},
    {"\xC2\xB5m", kMicrometre},  // the micro sign, U+00B5
    {"\xCE\xBCm", kMicrometre},  // the Greek small letter mu, U+03BC
    {"\xB5m", kMicrometre},      // the micro sign in Latin-1
    {"micron", kMicrometre},
    {"microns", kMicrometre},
    {"micrometre", kMicrometre},
    {"micrometres", kMicrometre},
    {"micrometer", kMicrometre},
    {"micrometers", kMicrometre},
    {"nm", kNanometre},
    {"nanometre", kNanometre},
    {"nanometres", kNanometre},
    {"nanometer", kNanometre},
    {"nanometers", kNanometre},
    {"a", kAngstrom},
    {"\xC3\x85", kAngstrom},      // U+00C5
    {"\xE2\x84\xAB", kAngstrom},  // the angstrom sign, U+212B
    {"\xC5", kAngstrom},          // U+00C5 in Latin-1
    {"angstrom", kAngstrom},
    {"angstroms", kAngstrom},
    {"pm", kPicometre},
    {"picometre", kPicometre},
    {"picometres", kPicometre},
    {"picometer", kPicometre},
    {"picometers", kPicometre},
};

}  // namespace

std::optional<LengthUnit> lengthUnitOf(std::string_view text) {
    text = trimCSpace(text);
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    for (const Spelling& spelling : kSpellings)
        if (lower == spelling.text) return spelling.unit;
    return std::nullopt;
}

double convertLength(double length, const LengthUnit& from, const LengthUnit& to) {
    const int power = from.powerOfTen - to.powerOfTen;
    const double scale = std::pow(10.0, std::abs(power));  // exact up to 10^22
    return power >= 0 ? length * scale : length / scale;
}

std::string unitText(std::string_view text, bool ofValues) {
    const std::string_view word = trimCSpace(text);
    if (ofValues && (word == "A" || word == "a")) return std::string(text);
    const std::optional<LengthUnit> unit = lengthUnitOf(text);
    return unit ? unit->symbol : std::string(text);
}
