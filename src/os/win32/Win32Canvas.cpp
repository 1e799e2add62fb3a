// GDI drawing for dialogs: every GDI object made here is selected out and freed before
// returning, so painting never leaks handles however often it runs.
#include "os/win32/Win32Canvas.h"

#include "os/win32/WinText.h"

namespace os::win32 {

Win32Canvas::~Win32Canvas() {
    if (m_hReleaseTo) {
        ReleaseDC(m_hReleaseTo, m_hDC);
    }
}

void Win32Canvas::DrawBitmap(int id, int x, int y) {
    HBITMAP bitmap = LoadBitmapW(m_hModule, MAKEINTRESOURCEW(id));
    if (!bitmap) {
        return;
    }
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    HDC memory = CreateCompatibleDC(m_hDC);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(m_hDC, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

void Win32Canvas::DrawText(const WString& text, int x, int y, const FontSpec& font, uint32_t rgb) {
    HFONT hFont = CreateFontW(font.height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE,
                              DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, W(font.face));
    HGDIOBJ oldFont = hFont ? SelectObject(m_hDC, hFont) : nullptr;
    const int oldMode = SetBkMode(m_hDC, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(m_hDC, ToColorRef(rgb));
    TextOutW(m_hDC, x, y, W(text), static_cast<int>(text.size()));
    SetTextColor(m_hDC, oldColor);
    SetBkMode(m_hDC, oldMode);
    if (hFont) {
        SelectObject(m_hDC, oldFont);
        DeleteObject(hFont);
    }
}

void Win32Canvas::FillRect(const Rect& rect, uint32_t rgb) {
    HBRUSH brush = CreateSolidBrush(ToColorRef(rgb));
    const RECT r{rect.left, rect.top, rect.right, rect.bottom};
    ::FillRect(m_hDC, &r, brush);
    DeleteObject(brush);
}

void Win32Canvas::DrawIcon(int id, int x, int y) {
    // Icons from LoadIcon are shared by the system and must not be destroyed.
    HICON icon = LoadIconW(m_hModule, MAKEINTRESOURCEW(id));
    if (icon) {
        ::DrawIcon(m_hDC, x, y, icon);
    }
}

}  // namespace os::win32
