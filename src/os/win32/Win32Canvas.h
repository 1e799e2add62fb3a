// A GDI device context seen as the boundary's canvas: resource bitmaps and icons of the
// module, text in a font made for the call, solid rectangles.
#pragma once

#include "os/Ui.h"
#include "os/win32/WinApi.h"

namespace os::win32 {

// Colours arrive as 0xRRGGBB; GDI wants COLORREF (0x00BBGGRR).
inline COLORREF ToColorRef(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

class Win32Canvas : public Canvas {
  public:
    // Draws on `dc`; when `releaseTo` is set the DC came from GetDC(releaseTo) and is
    // released on destruction.
    Win32Canvas(HINSTANCE module, HDC dc, HWND releaseTo = nullptr)
        : m_hModule(module), m_hDC(dc), m_hReleaseTo(releaseTo) {}
    ~Win32Canvas() override;
    Win32Canvas(const Win32Canvas&) = delete;
    Win32Canvas& operator=(const Win32Canvas&) = delete;

    void DrawBitmap(int id, int x, int y) override;
    void DrawText(const WString& text, int x, int y, const FontSpec& font, uint32_t rgb) override;
    void FillRect(const Rect& rect, uint32_t rgb) override;
    void DrawIcon(int id, int x, int y) override;

  private:
    HINSTANCE m_hModule;
    HDC m_hDC;
    HWND m_hReleaseTo;
};

}  // namespace os::win32
