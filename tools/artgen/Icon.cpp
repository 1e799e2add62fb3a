// The icon, drawn on a 48-unit grid and rendered at each size from the same design.
#include "Icon.h"

#include "Image.h"
#include "ImageFiles.h"
#include "Palette.h"

namespace artgen {

namespace {

// Edges sit on multiples of 3 units, the pixel of the 16x16 image, so the smallest size stays
// sharp.

// One monitor with its stand; (x, y) is its top-left corner, 21 x 21 units in all.
void AddMonitor(Scene& scene, double x, double y) {
    using namespace palette;
    scene.Rect(x, y, x + 21, y + 15, kBezel, 1.5);
    scene.Rect(x + 3, y + 3, x + 18, y + 12, kScreen);
    scene.Polygon({{x + 3, y + 3}, {x + 10, y + 3}, {x + 3, y + 8}}, kScreenLight);
    scene.Rect(x + 9, y + 15, x + 12, y + 18, kBezel);
    scene.Rect(x + 6, y + 18, x + 15, y + 21, kBezel, 1);
}

Scene IconScene() {
    using namespace palette;
    Scene scene(48);
    AddMonitor(scene, 0, 3);
    AddMonitor(scene, 27, 3);
    // The arrow under the screens, from the left PC to the right one.
    scene.Polygon({{3, 30}, {27, 30}, {27, 25}, {45, 34.5}, {27, 44}, {27, 39}, {3, 39}}, kArrow);
    return scene;
}

}  // namespace

std::vector<uint8_t> MakeIcon() {
    const Scene scene = IconScene();
    return EncodeIco({scene.Render(16, 16), scene.Render(32, 32), scene.Render(48, 48)});
}

}  // namespace artgen
