// Win32Canvas drawing into a 32-bit DIB whose pixels the test reads back.
#include "os/win32/WinApi.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "TestResources.h"
#include "os/win32/Win32Canvas.h"

namespace {

constexpr int kSize = 64;
constexpr uint32_t kWhite = 0xFFFFFF;

class Win32CanvasTest : public testing::Test {
  protected:
    void SetUp() override {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kSize;
        info.bmiHeader.biHeight = -kSize;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_hBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(m_hBitmap, nullptr);
        m_pBits = static_cast<uint32_t*>(bits);
        m_hDC = CreateCompatibleDC(nullptr);
        m_hOld = SelectObject(m_hDC, m_hBitmap);
        Clear(kWhite);
    }
    void TearDown() override {
        SelectObject(m_hDC, m_hOld);
        DeleteDC(m_hDC);
        DeleteObject(m_hBitmap);
    }

    void Clear(uint32_t rgb) {
        GdiFlush();
        for (int i = 0; i < kSize * kSize; ++i) {
            m_pBits[i] = rgb;
        }
    }
    // The pixel as 0xRRGGBB.
    uint32_t Pixel(int x, int y) {
        GdiFlush();
        return m_pBits[y * kSize + x] & 0xFFFFFF;
    }
    int CountPixels(uint32_t rgb) {
        int n = 0;
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                n += Pixel(x, y) == rgb;
            }
        }
        return n;
    }

    os::win32::Win32Canvas Canvas() {
        return os::win32::Win32Canvas(GetModuleHandleW(nullptr), m_hDC);
    }

    HBITMAP m_hBitmap = nullptr;
    HDC m_hDC = nullptr;
    HGDIOBJ m_hOld = nullptr;
    uint32_t* m_pBits = nullptr;
};

TEST_F(Win32CanvasTest, FillRectTakesRrggbbColoursAndExclusiveEdges) {
    for (uint32_t rgb : {0xFF0000u, 0x00FF00u, 0x0000FFu, 0x123456u}) {
        SCOPED_TRACE(rgb);
        Clear(kWhite);
        Canvas().FillRect(os::Rect{2, 3, 10, 8}, rgb);
        EXPECT_EQ(Pixel(2, 3), rgb);
        EXPECT_EQ(Pixel(9, 7), rgb);
        EXPECT_EQ(Pixel(10, 7), kWhite);
        EXPECT_EQ(Pixel(9, 8), kWhite);
        EXPECT_EQ(Pixel(1, 3), kWhite);
        EXPECT_EQ(CountPixels(rgb), 8 * 5);
    }
}

TEST_F(Win32CanvasTest, DrawBitmapCopiesTheResourceUnscaledAtItsPlace) {
    Canvas().DrawBitmap(IDB_TEST_PIXELS, 10, 20);
    EXPECT_EQ(Pixel(10, 20), 0xFF0000u);
    EXPECT_EQ(Pixel(11, 20), 0x00FF00u);
    EXPECT_EQ(Pixel(12, 20), 0x0000FFu);
    EXPECT_EQ(Pixel(10, 21), 0xFFFFFFu);
    EXPECT_EQ(Pixel(11, 21), 0x000000u);
    EXPECT_EQ(Pixel(12, 21), 0x123456u);
    // Nothing outside its 3 x 2 pixels.
    EXPECT_EQ(Pixel(13, 20), kWhite);
    EXPECT_EQ(Pixel(10, 22), kWhite);
    EXPECT_EQ(Pixel(9, 20), kWhite);
    EXPECT_EQ(CountPixels(kWhite), kSize * kSize - 5);

    Canvas().DrawBitmap(4242, 0, 0);  // no such bitmap: nothing happens
    EXPECT_EQ(CountPixels(kWhite), kSize * kSize - 5);
}

TEST_F(Win32CanvasTest, DrawTextIsTransparentColouredAndRestoresTheDc) {
    HGDIOBJ fontBefore = GetCurrentObject(m_hDC, OBJ_FONT);
    SetBkMode(m_hDC, OPAQUE);
    SetTextColor(m_hDC, RGB(1, 2, 3));

    Canvas().DrawText(u"■引越", 8, 8, os::FontSpec{24, FW_BOLD, u"ＭＳ Ｐゴシック"}, 0x0000FF);
    // Solid strokes take the colour exactly; antialiased edges lie between it and white.
    EXPECT_GT(CountPixels(0x0000FF), 20);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const uint32_t p = Pixel(x, y);
            if (x < 8 || y < 8) {
                ASSERT_EQ(p, kWhite) << x << "," << y;  // nothing above or left of the origin
            }
            // Transparent background: only white, blue and their blends (red = green).
            ASSERT_EQ(p >> 16, (p >> 8) & 0xFF) << x << "," << y;
        }
    }
    EXPECT_EQ(GetCurrentObject(m_hDC, OBJ_FONT), fontBefore);
    EXPECT_EQ(GetBkMode(m_hDC), OPAQUE);
    EXPECT_EQ(GetTextColor(m_hDC), RGB(1, 2, 3));
}

TEST_F(Win32CanvasTest, DrawIconKeepsTheBackgroundWhereTheIconIsClear) {
    Canvas().DrawIcon(IDI_TEST_ICON, 0, 0);
    // The 32 x 32 image: the arrow crosses the lower half, the top-right corner is clear.
    EXPECT_EQ(Pixel(31, 0), kWhite);
    EXPECT_EQ(Pixel(33, 10), kWhite);
    const uint32_t arrow = Pixel(10, 23);
    EXPECT_GT(arrow >> 16, arrow & 0xFF) << std::hex << arrow;  // orange: red over blue
    EXPECT_LT(CountPixels(kWhite), kSize * kSize - 200);
}

}  // namespace
