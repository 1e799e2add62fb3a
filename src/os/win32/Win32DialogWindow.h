// The window behind one Dialog: a real dialog made from the template of the module, modal
// (DialogBoxParamW) or modeless (CreateDialogParamW). One dialog procedure finds the object
// stored at WM_INITDIALOG and forwards the messages to the Dialog's handlers.
#pragma once

#include "os/Ui.h"
#include "os/win32/WinApi.h"

namespace os::win32 {

class Win32DialogWindow : public DialogWindow {
  public:
    Win32DialogWindow(HINSTANCE module, Dialog& dialog, int templateId, Dialog* parent)
        : m_hModule(module), m_dialog(dialog), m_nTemplateId(templateId), m_pParent(parent) {}
    ~Win32DialogWindow() override;
    Win32DialogWindow(const Win32DialogWindow&) = delete;
    Win32DialogWindow& operator=(const Win32DialogWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    // The window of `dialog`, or null when it has none (yet).
    static HWND HandleOf(Dialog* dialog);

    int RunModal() override;
    bool CreateModeless() override;
    void End(int result) override;
    void Destroy() override;
    bool Exists() override;

    WString GetCaption() override;
    void SetCaption(const WString& text) override;
    void SetIcon(int iconId) override;
    void AppendSystemMenu(unsigned commandId, const WString& text) override;

    void Invalidate() override;
    void Enable(bool enable) override;
    void BringToFront() override;
    bool IsMinimized() override;
    Rect ClientRect() override;
    void SetClientSize(int width, int height) override;
    std::unique_ptr<Canvas> DirectCanvas() override;
    void SetCapture() override;
    void ReleaseCapture() override;

    void SetTimer(int id, unsigned milliseconds) override;
    void KillTimer(int id) override;

    void Post(unsigned n, uintptr_t wParam) override;
    intptr_t Send(unsigned n, uintptr_t wParam) override;
    void PostClose() override;

    void SetItemText(int id, const WString& text) override;
    WString GetItemText(int id) override;
    void EnableItem(int id, bool enable) override;
    void ShowItem(int id, bool show) override;
    void SetCheck(int id, bool checked) override;
    bool GetCheck(int id) override;
    int ListAddString(int id, const WString& text) override;
    void ListResetContent(int id) override;
    int ListGetCount(int id) override;
    int ListGetCurSel(int id) override;
    void ListSetCurSel(int id, int index) override;
    WString ListGetText(int id, int index) override;
    void SetProgressRange(int id, int lower, int upper) override;
    int GetProgressUpper(int id) override;
    void SetProgressPos(int id, int pos) override;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnPaintMessage();
    INT_PTR OnCommandMessage(WPARAM wParam, LPARAM lParam);
    void SetResult(LRESULT result);
    // SendDlgItemMessageW, or `otherwise` when there is no window.
    LRESULT SendItem(int id, UINT message, WPARAM wParam, LPARAM lParam, LRESULT otherwise = 0);

    HINSTANCE m_hModule;
    Dialog& m_dialog;
    int m_nTemplateId;
    Dialog* m_pParent;
    HWND m_hWnd = nullptr;
    bool m_bModal = false;
};

}  // namespace os::win32
