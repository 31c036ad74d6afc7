#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// An icon resource: one picture at several sizes, each a 16-colour image.

struct IconImage {
    int width = 0;
    int height = 0;
    // The 16 colours, as 0xRRGGBB.
    std::array<std::uint32_t, 16> palette{};
    // One string per row, top row first; each character is a palette index in hexadecimal
    // ('0' to 'f') or '.' for a transparent pixel.
    std::vector<std::string> rows;

    bool transparentAt(int x, int y) const { return rows[y][x] == '.'; }
    // The colour of a pixel that is not transparent.
    std::uint32_t colourAt(int x, int y) const {
        char c = rows[y][x];
        int index = c >= 'a' ? c - 'a' + 10 : c - '0';
        return palette[index];
    }
};

struct IconResource {
    int id = 0;
    std::vector<IconImage> images;  // largest first

    // The image closest in size to `size` pixels, or null when there is none.
    const IconImage* imageFor(int size) const {
        const IconImage* best = nullptr;
        for (const IconImage& image : images) {
            auto distance = [size](const IconImage& i) {
                return i.width > size ? i.width - size : size - i.width;
            };
            if (!best || distance(image) < distance(*best)) best = &image;
        }
        return best;
    }
};
