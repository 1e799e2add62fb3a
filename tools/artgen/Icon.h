// The program icon: two PCs side by side and an arrow from the left one to the right one.
#pragma once

#include <cstdint>
#include <vector>

namespace artgen {

// tandrix.ico with 16x16, 32x32 and 48x48 images.
std::vector<uint8_t> MakeIcon();

}  // namespace artgen
