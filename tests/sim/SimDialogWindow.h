// The simulated window behind one dialog: caption, icon, system menu, enabled and visible
// state of the window and its controls, control texts, timers, capture, the invalidated flag
// and what the last paint drew. Input arrives through the script of SimUi or straight from a
// test through the Deliver* calls, which behave like the Win32 host's dispatch.
#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "os/Ui.h"
#include "sim/SimCanvas.h"

namespace sim {

class SimUi;

class SimDialogWindow : public os::DialogWindow {
  public:
    SimDialogWindow(SimUi& ui, os::Dialog& dialog, int templateId, os::Dialog* parent);
    ~SimDialogWindow() override;
    SimDialogWindow(const SimDialogWindow&) = delete;
    SimDialogWindow& operator=(const SimDialogWindow&) = delete;

    // os::DialogWindow
    int RunModal() override;
    bool CreateModeless() override;
    void End(int result) override;
    void Destroy() override;
    bool Exists() override { return m_exists; }
    os::WString GetCaption() override { return m_caption; }
    void SetCaption(const os::WString& text) override { m_caption = text; }
    void SetIcon(int iconId) override { m_iconId = iconId; }
    void AppendSystemMenu(unsigned commandId, const os::WString& text) override;
    void Invalidate() override { m_invalid = true; }
    void Enable(bool enable) override { m_enabled = enable; }
    void BringToFront() override { ++m_broughtToFront; }
    bool IsMinimized() override { return m_minimized; }
    os::Rect ClientRect() override;
    void SetClientSize(int width, int height) override { m_clientSize = {0, 0, width, height}; }
    std::unique_ptr<os::Canvas> DirectCanvas() override;
    void SetCapture() override { m_capture = true; }
    void ReleaseCapture() override { m_capture = false; }
    void SetTimer(int id, unsigned milliseconds) override;
    void KillTimer(int id) override { m_timers.erase(id); }
    void Post(unsigned n, uintptr_t wParam) override;
    intptr_t Send(unsigned n, uintptr_t wParam) override;
    void PostClose() override;
    void SetItemText(int id, const os::WString& text) override { m_itemTexts[id] = text; }
    os::WString GetItemText(int id) override;
    void EnableItem(int id, bool enable) override { m_itemEnabled[id] = enable; }
    void ShowItem(int id, bool show) override { m_itemVisible[id] = show; }
    void SetCheck(int id, bool checked) override { m_checks[id] = checked; }
    bool GetCheck(int id) override;
    int ListAddString(int id, const os::WString& text) override;
    void ListResetContent(int id) override;
    int ListGetCount(int id) override;
    int ListGetCurSel(int id) override;
    void ListSetCurSel(int id, int index) override;
    os::WString ListGetText(int id, int index) override;
    void SetProgressRange(int id, int lower, int upper) override;
    int GetProgressUpper(int id) override { return m_progress[id].upper; }
    void SetProgressPos(int id, int pos) override;

    // Input, dispatched as the Win32 host does.
    void DeliverClick(os::Point point);  // button down, button up
    void DeliverDoubleClick(os::Point point);
    void DeliverRowDoubleClick(int listId, int index);  // selects the row first
    // A click on an automatic check box: an enabled, visible box toggles, then BN_CLICKED
    // reaches OnCommand as on Windows.
    void DeliverCheckClick(int id);
    // IDOK reaches OnOK and IDCANCEL OnCancel; other ids OnCommand.
    void DeliverCommand(int id);
    // Unhandled SC_CLOSE closes like WM_CLOSE.
    void DeliverSysCommand(unsigned id);
    void DeliverClose() { m_dialog.OnCancel(); }
    void Paint();  // OnPaint on a fresh recording canvas

    // State for assertions.
    os::Dialog& Dialog() { return m_dialog; }
    int TemplateId() const { return m_templateId; }
    bool IsModal() const { return m_modal; }
    bool Ended() const { return m_ended; }
    int IconId() const { return m_iconId; }
    const std::vector<std::pair<unsigned, os::WString>>& SystemMenu() const { return m_sysMenu; }
    bool Enabled() const { return m_enabled; }
    bool ItemEnabled(int id) const;  // controls start enabled and visible
    bool ItemVisible(int id) const;
    bool HasCapture() const { return m_capture; }
    int BroughtToFront() const { return m_broughtToFront; }
    bool TimerActive(int id) const { return m_timers.count(id) != 0; }
    unsigned TimerPeriod(int id) const;
    bool RepaintPending() const { return m_invalid; }
    const std::vector<os::WString>& ListRows(int id) { return m_lists[id].rows; }
    int ProgressLower(int id) { return m_progress[id].lower; }
    int ProgressPos(int id) { return m_progress[id].pos; }
    const DrawList& LastPaint() const { return *m_lastPaint; }
    int PaintCount() const { return m_paints; }
    const DrawList& DirectDrawing() const { return *m_direct; }
    void SetMinimized(bool minimized) { m_minimized = minimized; }

  private:
    friend class SimUi;

    struct Timer {
        unsigned period;
        uint64_t due;
    };
    struct ListBox {
        std::vector<os::WString> rows;
        int selected = -1;
    };
    struct Progress {
        int lower = 0;
        int upper = 100;  // a new progress bar's range
        int pos = 0;
    };

    void Open();
    void Close();

    SimUi& m_ui;
    os::Dialog& m_dialog;
    int m_templateId;
    os::Dialog* m_parent;

    bool m_exists = false;
    bool m_modal = false;
    bool m_ended = false;
    int m_result = 0;
    bool m_parentWasEnabled = false;

    os::WString m_caption;
    int m_iconId = 0;
    std::vector<std::pair<unsigned, os::WString>> m_sysMenu;
    bool m_enabled = true;
    bool m_minimized = false;
    bool m_capture = false;
    bool m_invalid = false;
    int m_broughtToFront = 0;
    int m_paints = 0;
    std::map<int, Timer> m_timers;
    std::map<int, os::WString> m_itemTexts;
    std::map<int, bool> m_itemEnabled;
    std::map<int, bool> m_itemVisible;
    std::map<int, bool> m_checks;
    std::map<int, ListBox> m_lists;
    std::map<int, Progress> m_progress;
    std::shared_ptr<DrawList> m_lastPaint = std::make_shared<DrawList>();
    std::shared_ptr<DrawList> m_direct = std::make_shared<DrawList>();
    os::Rect m_clientSize;
};

}  // namespace sim
