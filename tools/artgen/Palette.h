// The colours every piece of artwork shares, so icon and bitmaps look like one program.
#pragma once

#include "Image.h"

namespace artgen::palette {

constexpr Color kBezel = Rgb(0x2F4858);        // dark slate: monitor frames, stands
constexpr Color kScreen = Rgb(0x9ED8F0);       // pale sky: screens
constexpr Color kScreenLight = Rgb(0xD6F0FA);  // highlight on screens
constexpr Color kArrow = Rgb(0xE98A3B);        // warm orange: the data moving
constexpr Color kArrowDark = Rgb(0xB8651F);    // its outline

}  // namespace artgen::palette
