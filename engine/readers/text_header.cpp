#include "text_header.h"

#include <cctype>

#include "length_unit.h"
#include "text_scan.h"

namespace {

// The sizes and units as the lines give them, before they are told in one unit.
struct HeaderLines {
    double width = 0.0, height = 0.0;
    std::string widthUnit, heightUnit, valueUnit;
};

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// One "Key: value" (or "Key = value") comment line, the '#' taken off.
void readHeaderLine(std::string_view line, HeaderLines& header) {
    std::size_t split = line.find(':');
    if (split == std::string_view::npos) split = line.find('=');
    if (split == std::string_view::npos) return;
    const std::string key = lowerCase(trimCSpace(line.substr(0, split)));
    const std::string_view value = trimCSpace(line.substr(split + 1));
    std::string unit;
    double length = 0.0;
    if (key == "width" || key == "x length" || key == "xreal") {
        if (readLength(value, length, unit)) header.width = length, header.widthUnit = unit;
    } else if (key == "height" || key == "y length" || key == "yreal") {
        if (readLength(value, length, unit)) header.height = length, header.heightUnit = unit;
    } else if (key == "value units" || key == "z units" || key == "zunits") {
        header.valueUnit = std::string(value);
    }
}

// The sizes in one unit: the width's, or the height's where only it names one.
void tellSizes(const HeaderLines& lines, TextHeader& header) {
    header.valueUnit = unitText(lines.valueUnit, true);
    header.width = lines.width;
    header.height = lines.height;
    header.lateralUnit =
        unitText(lines.widthUnit.empty() ? lines.heightUnit : lines.widthUnit, false);
    if (lines.widthUnit.empty() || lines.heightUnit.empty() ||
        unitText(lines.heightUnit, false) == header.lateralUnit)
        return;
    const std::optional<LengthUnit> from = lengthUnitOf(lines.heightUnit);
    const std::optional<LengthUnit> to = lengthUnitOf(lines.widthUnit);
    if (from && to) {
        header.height = convertLength(lines.height, *from, *to);
        return;
    }
    header.note = "the header gives the width in " + lines.widthUnit + " and the height in " +
                  lines.heightUnit + ", which cannot be compared: the pixel size is not known";
    header.width = header.height = 0.0;
    header.lateralUnit.clear();
}

}  // namespace

bool readLength(std::string_view text, double& value, std::string& unit) {
    // The unit may follow the number with or without a blank: "5.000 um", "5.000um".
    TextCursor cursor{text.data(), text.data() + text.size()};
    double number = 0.0;
    if (!scanDouble(cursor, number) || !(number > 0.0 && number < 1e300)) return false;
    const std::string_view rest(cursor.p, static_cast<std::size_t>(cursor.end - cursor.p));
    // After the number: nothing, a blank, or a unit's first letter (not "5,0" or "1.2.3").
    const unsigned char next = rest.empty() ? ' ' : static_cast<unsigned char>(rest[0]);
    if (!isCSpace(next) && !std::isalpha(next) && next < 0x80) return false;
    value = number;
    unit = std::string(trimCSpace(rest));
    return true;
}

TextHeader readTextHeader(std::string_view text, bool wholeFile) {
    TextHeader header;
    HeaderLines lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t feed = text.find('\n', at);
        if (feed == std::string_view::npos) {
            if (!wholeFile) break;  // a line cut where `text` ends
            feed = text.size();
        }
        const std::string_view line = trimCSpace(text.substr(at, feed - at));
        if (!line.empty()) {
            if (line[0] != '#') break;
            ++header.commentLines;
            readHeaderLine(line.substr(1), lines);
        }
        at = feed + 1;
        if (!line.empty()) header.dataOffset = at > text.size() ? text.size() : at;
    }
    tellSizes(lines, header);
    return header;
}
