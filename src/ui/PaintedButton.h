// A button painted from bitmaps: a hit rectangle, where its bitmap is drawn, the screens on
// which it exists, and its normal, hover, pressed and disabled images.
#pragma once

#include <vector>

#include "os/Ui.h"

class PaintedButton {
  public:
    enum : int { kNormal = 0, kHover = 1, kPressed = 2 };

    void Init(int left, int top, int right, int bottom, int x, int y, int firstScreen,
              int lastScreen, int bmpNormal, int bmpHover, int bmpPressed, int bmpDisabled);
    // Returns the previous value.
    bool SetEnabled(bool enabled);
    bool IsEnabled() const { return m_bEnabled; }
    // Left and top edges inside, right and bottom edges outside.
    bool HitTest(os::Point point, int screen) const;
    void Draw(os::Canvas& canvas, int screen, int state) const;
    bool OnScreen(int screen) const { return screen >= m_nFirstScreen && screen <= m_nLastScreen; }

    os::Rect m_rcHit;
    int m_nX = 0;
    int m_nY = 0;
    int m_nFirstScreen = -1;
    int m_nLastScreen = -1;
    int m_nBmpNormal = 0;
    int m_nBmpHover = 0;
    int m_nBmpPressed = 0;
    int m_nBmpDisabled = 0;
    bool m_bEnabled = true;
};

// Draws each button: with `state` when the point hits it on this screen, else normal.
void DrawButtons(os::Canvas& canvas, const std::vector<const PaintedButton*>& buttons,
                 os::Point point, int screen, int state);
// The same straight onto the window, as the mouse handling draws (nothing when the window has
// no surface to draw on).
void DrawButtonsDirect(os::DialogWindow& window, const std::vector<const PaintedButton*>& buttons,
                       os::Point point, int screen, int state);

// The painted dialogs' mouse protocol: a press, or the second click of a double click,
// captures the mouse and shows the pressed image under the pointer; a move shows the hover
// image there; a release shows the normal images. True for a release: the caller then ends
// the capture and acts on the button under the point, in its window's order.
bool TrackDialogMouse(os::DialogWindow& window, const std::vector<const PaintedButton*>& buttons,
                      os::MouseEvent event, os::Point point, int screen);

// Painted instruction texts: white on the painted background, in this font ("ＭＳ Ｐゴシック",
// height 13); the main window's headline font is the same at height 20, weight 700.
constexpr uint32_t kPaintTextRgb = 0xFFFFFF;
os::FontSpec InitPaintFont();
