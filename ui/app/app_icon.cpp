#include "resource_ids.h"
#include "resources.h"

// Icon 128: a rough data profile (navy) over its moving average (red), in 16 colours.

namespace {

// The sixteen colours of the classic display palette, as 0xRRGGBB.
constexpr std::array<std::uint32_t, 16> kPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

// One string per row keeps the picture visible.
// clang-format off
IconResource makeAppIcon() {
    IconImage big{32, 32, kPalette, {
        "................................",
        ".000000000000000000000000000000.",
        ".0fffff7fffff7fffff7fffff7ffff0.",
        ".0fffff7fffff7fffff7fffff7ffff0.",
        ".0fffff7fffff7fffff7fffff7ffff0.",
        ".0fffff7fffff7fffff7fffff7ffff0.",
        ".0fffff7fffff7fffff7fffff7ffff0.",
        ".077777777777777777777777777770.",
        ".0fffff7fffff7fffff7fffff7ffff0.",
        ".0fffff7fffff7fffff7fffff7ffff0.",
        ".0fffff7f44ff7ff444744fff7ffff0.",
        ".0fffff7f4449999994744fff7ffff0.",
        ".0fffff7f4999999999994fff7ffff0.",
        ".077774499999644499999977777770.",
        ".0ffff99999446eeeee69999f7ffff0.",
        ".0fff9999eeee6eeeee6ee9994ffff0.",
        ".0ff9996eeeee6eeeee6ee49999fff0.",
        ".0f999e6eeeee6eeeee6eeee99994f0.",
        ".09994e6eeeee6eeeee6eeeee499940.",
        ".099666666666666666666666669990.",
        ".0eeeee6eeeee6eeeee6eeeee6ee990.",
        ".0eeeee6eeeee6eeeee6eeeee6eee90.",
        ".0eeeee6eeeee6eeeee6eeeee6eeee0.",
        ".0eeeee6eeeee6eeeee6eeeee6eeee0.",
        ".0eeeee6eeeee6eeeee6eeeee6eeee0.",
        ".066666666666666666666666666660.",
        ".0eeeee6eeeee6eeeee6eeeee6eeee0.",
        ".0eeeee6eeeee6eeeee6eeeee6eeee0.",
        ".0eeeee6eeeee6eeeee6eeeee6eeee0.",
        ".0eeeee6eeeee6eeeee6eeeee6eeee0.",
        ".000000000000000000000000000000.",
        "................................",
    }};
    IconImage small{16, 16, kPalette, {
        "................",
        ".00000000000000.",
        ".0fff7fff7fff70.",
        ".0fff7fff7fff70.",
        ".0fff7fff7fff70.",
        ".07774474477770.",
        ".0fff999999ff70.",
        ".0ff99e44699f70.",
        ".0f996eee649970.",
        ".09966666666990.",
        ".0eee6eee6eee90.",
        ".0eee6eee6eee60.",
        ".0eee6eee6eee60.",
        ".06666666666660.",
        ".00000000000000.",
        "................",
    }};
    return {kIdrMainFrame, {big, small}};
}
// clang-format on

}  // namespace

const IconResource& appIcon() {
    static const IconResource icon = makeAppIcon();
    return icon;
}
