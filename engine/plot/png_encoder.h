#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The bytes of a PNG file holding `pixels` (rows of 0xRRGGBB, the top row first), compressed
// not at all: for the small images a plot embeds, and for a platform that draws a plot without
// cairo. Deterministic: the same pixels give the same bytes.
std::string encodePng(int width, int height, const std::vector<std::uint32_t>& pixels);

// `bytes` in base64, as a data: address carries them.
std::string base64(const std::string& bytes);
