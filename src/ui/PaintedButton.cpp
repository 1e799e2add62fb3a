// Bitmap buttons.
#include "ui/PaintedButton.h"

void PaintedButton::Init(int left, int top, int right, int bottom, int x, int y, int firstScreen,
                         int lastScreen, int bmpNormal, int bmpHover, int bmpPressed,
                         int bmpDisabled) {
    m_rcHit = os::Rect{left, top, right, bottom};
    m_nX = x;
    m_nY = y;
    m_nFirstScreen = firstScreen;
    m_nLastScreen = lastScreen;
    m_nBmpNormal = bmpNormal;
    m_nBmpHover = bmpHover;
    m_nBmpPressed = bmpPressed;
    m_nBmpDisabled = bmpDisabled;
}

bool PaintedButton::SetEnabled(bool enabled) {
    const bool previous = m_bEnabled;
    m_bEnabled = enabled;
    return previous;
}

bool PaintedButton::HitTest(os::Point point, int screen) const {
    return OnScreen(screen) && point.x >= m_rcHit.left && point.x < m_rcHit.right &&
           point.y >= m_rcHit.top && point.y < m_rcHit.bottom;
}

void PaintedButton::Draw(os::Canvas& canvas, int screen, int state) const {
    if (!OnScreen(screen)) {
        return;
    }
    int bitmap = m_nBmpNormal;
    if (!m_bEnabled) {
        bitmap = m_nBmpDisabled;
    } else if (state == kHover) {
        bitmap = m_nBmpHover;
    } else if (state == kPressed) {
        bitmap = m_nBmpPressed;
    }
    if (bitmap != 0) {
        canvas.DrawBitmap(bitmap, m_nX, m_nY);
    }
}

void DrawButtonsDirect(os::DialogWindow& window, const std::vector<const PaintedButton*>& buttons,
                       os::Point point, int screen, int state) {
    if (auto canvas = window.DirectCanvas()) {
        DrawButtons(*canvas, buttons, point, screen, state);
    }
}

void DrawButtons(os::Canvas& canvas, const std::vector<const PaintedButton*>& buttons,
                 os::Point point, int screen, int state) {
    for (const PaintedButton* button : buttons) {
        button->Draw(canvas, screen,
                     button->HitTest(point, screen) ? state : PaintedButton::kNormal);
    }
}

bool TrackDialogMouse(os::DialogWindow& window, const std::vector<const PaintedButton*>& buttons,
                      os::MouseEvent event, os::Point point, int screen) {
    switch (event) {
        case os::MouseEvent::Down:
        case os::MouseEvent::DoubleClick:
            window.SetCapture();
            DrawButtonsDirect(window, buttons, point, screen, PaintedButton::kPressed);
            return false;
        case os::MouseEvent::Move:
            DrawButtonsDirect(window, buttons, point, screen, PaintedButton::kHover);
            return false;
        case os::MouseEvent::Up:
            DrawButtonsDirect(window, buttons, point, screen, PaintedButton::kNormal);
            return true;
    }
    return false;
}

os::FontSpec InitPaintFont() {
    return os::FontSpec{13, 0, u"ＭＳ Ｐゴシック"};
}
