// Our small dialog framework: a dialog base class whose handlers the host calls, the window
// behind it (Win32 dialog or simulated one), a canvas to paint on, message boxes and the pump.
#pragma once

#include <cstdint>
#include <memory>

#include "os/Types.h"

namespace os {

// Message-box styles and answers, numbered as Windows numbers them.
enum : unsigned {
    kMbOk = 0x0,
    kMbOkCancel = 0x1,
    kMbYesNo = 0x4,
    kMbIconError = 0x10,
    kMbIconQuestion = 0x20,
    kMbIconWarning = 0x30,
    kMbIconInformation = 0x40,
};
enum : int {
    kIdOk = 1,
    kIdCancel = 2,
    kIdYes = 6,
    kIdNo = 7,
};

// Application messages (WM_APP + n) are delivered as OnAppMessage(n, wParam).
constexpr unsigned kWmApp = 0x8000;

struct FontSpec {
    int height = 13;
    int weight = 0;
    WString face;
};

// A surface of one window during one paint or one direct drawing step. Colours are 0xRRGGBB.
class Canvas {
  public:
    virtual ~Canvas() = default;
    // Draws resource bitmap `id` unscaled with its top-left corner at (x, y).
    virtual void DrawBitmap(int id, int x, int y) = 0;
    // Draws `text` with its top-left corner at (x, y), transparent background.
    virtual void DrawText(const WString& text, int x, int y, const FontSpec& font,
                          uint32_t rgb) = 0;
    virtual void FillRect(const Rect& rect, uint32_t rgb) = 0;
    virtual void DrawIcon(int id, int x, int y) = 0;
};

enum class MouseEvent { Down, DoubleClick, Move, Up };

class Dialog;

// The window behind a Dialog; created by Ui for one dialog object.
class DialogWindow {
  public:
    virtual ~DialogWindow() = default;

    virtual int RunModal() = 0;         // returns the EndDialog result
    virtual bool CreateModeless() = 0;  // true when the window exists
    virtual void End(int result) = 0;
    virtual void Destroy() = 0;
    virtual bool Exists() = 0;

    virtual WString GetCaption() = 0;
    virtual void SetCaption(const WString& text) = 0;
    virtual void SetIcon(int iconId) = 0;
    virtual void AppendSystemMenu(unsigned commandId, const WString& text) = 0;  // with separator

    virtual void Invalidate() = 0;
    virtual void Enable(bool enable) = 0;
    virtual void BringToFront() = 0;
    virtual bool IsMinimized() = 0;
    virtual Rect ClientRect() = 0;
    // Resizes the window so that its client area is exactly `width` x `height` pixels.
    virtual void SetClientSize(int width, int height) = 0;
    // A canvas for drawing straight onto the window outside a paint.
    virtual std::unique_ptr<Canvas> DirectCanvas() = 0;
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;

    virtual void SetTimer(int id, unsigned milliseconds) = 0;
    virtual void KillTimer(int id) = 0;

    // WM_APP + n, posted (queued) or sent (handled before the call returns).
    virtual void Post(unsigned n, uintptr_t wParam) = 0;
    virtual intptr_t Send(unsigned n, uintptr_t wParam) = 0;
    virtual void PostClose() = 0;  // WM_CLOSE: reaches OnCancel

    // Controls of the template, by id.
    virtual void SetItemText(int id, const WString& text) = 0;
    virtual WString GetItemText(int id) = 0;
    virtual void EnableItem(int id, bool enable) = 0;
    virtual void ShowItem(int id, bool show) = 0;
    // Check-box controls.
    virtual void SetCheck(int id, bool checked) = 0;
    virtual bool GetCheck(int id) = 0;
    // List-box controls. A sorted list box places a new row by its text.
    virtual int ListAddString(int id, const WString& text) = 0;
    virtual void ListResetContent(int id) = 0;
    virtual int ListGetCount(int id) = 0;
    virtual int ListGetCurSel(int id) = 0;  // -1 when no row is selected
    virtual void ListSetCurSel(int id, int index) = 0;
    virtual WString ListGetText(int id, int index) = 0;
    // Progress-bar controls (32-bit ranges).
    virtual void SetProgressRange(int id, int lower, int upper) = 0;
    virtual int GetProgressUpper(int id) = 0;
    virtual void SetProgressPos(int id, int pos) = 0;
};

class Ui {
  public:
    virtual ~Ui() = default;

    virtual std::unique_ptr<DialogWindow> CreateDialogWindow(Dialog& dialog, int templateId,
                                                             Dialog* parent) = 0;
    // Modal message box; owner may be null. Returns the pressed button (kIdOk ...).
    virtual int MessageBox(Dialog* owner, const WString& text, const WString& title,
                           unsigned type) = 0;
    // Runs every waiting message of this thread, then returns.
    virtual void PumpMessages() = 0;
    virtual void PostQuit(int exitCode) = 0;
    // A key-down and key-up of Shift (virtual key 16) sent to the desktop window.
    virtual void NudgeDesktop() = 0;

    // The application's main window (null until one is set).
    Dialog* MainWindow() const { return m_pMainWindow; }
    void SetMainWindow(Dialog* dialog) { m_pMainWindow = dialog; }

  private:
    Dialog* m_pMainWindow = nullptr;
};

// Base of every dialog of the system. The host calls the On* handlers on the UI thread.
class Dialog {
  public:
    Dialog(Ui& ui, int templateId, Dialog* parent);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    int DoModal();
    bool Create();  // modeless
    void EndDialog(int result);
    void DestroyWindow();
    bool HasWindow() const;

    DialogWindow& Window();
    Ui& GetUi() const { return m_ui; }
    Dialog* Parent() const { return m_pParent; }
    int TemplateId() const { return m_nTemplateId; }

    // Handlers; the defaults behave like a plain dialog.
    virtual bool OnInitDialog() { return true; }
    virtual void OnPaint(Canvas&) {}
    virtual void OnMouse(MouseEvent, Point) {}
    virtual void OnTimer(int) {}
    virtual bool OnCommand(int) { return false; }
    virtual bool OnSysCommand(unsigned) { return false; }
    // A double click on a row of list box `listId`; the row is the list's selection.
    virtual void OnListDoubleClick(int /*listId*/) {}
    virtual intptr_t OnAppMessage(unsigned, uintptr_t) { return 0; }
    virtual void OnOK() { EndDialog(kIdOk); }
    virtual void OnCancel() { EndDialog(kIdCancel); }
    virtual void OnDestroy() {}
    // A dialog whose background and controls sit on white rather than the system's colour.
    virtual bool HasWhiteBackground() const { return false; }

  private:
    DialogWindow& EnsureWindow();

    Ui& m_ui;
    int m_nTemplateId;
    Dialog* m_pParent;
    std::unique_ptr<DialogWindow> m_pWindow;
};

}  // namespace os
