// Writing pictures in the formats the resource compiler takes: 24-bit BMP (BITMAP resources)
// and multi-size ICO with 32-bit BGRA images and AND masks (ICON resources).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Image.h"

namespace artgen {

// Whole files as bytes; little-endian regardless of the host.
std::vector<uint8_t> EncodeBmp24(const Image& image);  // alpha is ignored
std::vector<uint8_t> EncodeIco(const std::vector<Image>& images);

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace artgen
