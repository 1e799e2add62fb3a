// The simulated window behind one dialog.
#include "sim/SimDialogWindow.h"

#include <algorithm>

#include "os/Text.h"
#include "sim/SimUi.h"

namespace sim {
namespace {

constexpr unsigned kScClose = 0xF060;
constexpr unsigned kMinimumTimerMs = 10;  // USER_TIMER_MINIMUM

SimDialogWindow* SimWindowOf(os::Dialog* dialog) {
    return dialog && dialog->HasWindow() ? dynamic_cast<SimDialogWindow*>(&dialog->Window())
                                         : nullptr;
}

}  // namespace

SimDialogWindow::SimDialogWindow(SimUi& ui, os::Dialog& dialog, int templateId, os::Dialog* parent)
    : m_ui(ui),
      m_dialog(dialog),
      m_templateId(templateId),
      m_parent(parent),
      m_caption(ui.TemplateCaption(templateId)) {}

// The dialog object is going away: leave the host without calling back into it.
SimDialogWindow::~SimDialogWindow() {
    if (m_exists) {
        m_exists = false;
        m_ui.Unregister(this);
    }
}

void SimDialogWindow::Open() {
    m_exists = true;
    m_ended = false;
    m_result = 0;
    // A new window: its controls start as the template makes them.
    m_itemTexts.clear();
    m_itemEnabled.clear();
    m_itemVisible.clear();
    m_checks.clear();
    m_lists.clear();
    m_progress.clear();
    m_ui.Register(this);
}

// Window destruction: timers and queued messages die with it, then WM_DESTROY.
void SimDialogWindow::Close() {
    if (!m_exists) {
        return;
    }
    m_exists = false;
    m_timers.clear();
    m_capture = false;
    if (SimDialogWindow* owner = SimWindowOf(m_parent); owner && m_modal) {
        owner->m_enabled = m_parentWasEnabled;
    }
    m_modal = false;
    m_ui.Unregister(this);
    m_dialog.OnDestroy();
}

int SimDialogWindow::RunModal() {
    if (m_exists) {
        return -1;  // already shown
    }
    Open();
    m_modal = true;
    // A modal dialog disables its owner until it ends.
    if (SimDialogWindow* owner = SimWindowOf(m_parent)) {
        m_parentWasEnabled = owner->m_enabled;
        owner->m_enabled = false;
    }
    m_dialog.OnInitDialog();
    m_invalid = true;  // shown, so painted
    const int result = m_ui.RunModalLoop(*this);
    Close();
    return result;
}

bool SimDialogWindow::CreateModeless() {
    if (!m_exists) {
        Open();
        m_dialog.OnInitDialog();
        m_invalid = true;
    }
    return true;
}

void SimDialogWindow::End(int result) {
    if (!m_ended) {
        m_ended = true;
        m_result = result;
    }
}

void SimDialogWindow::Destroy() {
    End(m_result);
    if (!m_modal) {
        Close();
    }
    // A modal window closes when its loop sees it ended.
}

void SimDialogWindow::AppendSystemMenu(unsigned commandId, const os::WString& text) {
    m_sysMenu.emplace_back(commandId, text);
}

os::Rect SimDialogWindow::ClientRect() {
    if (m_clientSize.right != 0) {
        return m_clientSize;
    }
    return m_ui.TemplateClientRect(m_templateId);
}

std::unique_ptr<os::Canvas> SimDialogWindow::DirectCanvas() {
    return std::make_unique<SimCanvas>(m_direct);
}

void SimDialogWindow::SetTimer(int id, unsigned milliseconds) {
    const unsigned period = std::max(milliseconds, kMinimumTimerMs);
    m_timers[id] = Timer{period, m_ui.Clock().NowMs() + period};
}

unsigned SimDialogWindow::TimerPeriod(int id) const {
    const auto it = m_timers.find(id);
    return it == m_timers.end() ? 0 : it->second.period;
}

void SimDialogWindow::Post(unsigned n, uintptr_t wParam) {
    if (m_exists) {
        m_ui.Post(this, false, n, wParam);
    }
}

intptr_t SimDialogWindow::Send(unsigned n, uintptr_t wParam) {
    return m_dialog.OnAppMessage(n, wParam);
}

void SimDialogWindow::PostClose() {
    if (m_exists) {
        m_ui.Post(this, true, 0, 0);
    }
}

os::WString SimDialogWindow::GetItemText(int id) {
    const auto it = m_itemTexts.find(id);
    return it == m_itemTexts.end() ? os::WString{} : it->second;
}

bool SimDialogWindow::ItemEnabled(int id) const {
    const auto it = m_itemEnabled.find(id);
    return it == m_itemEnabled.end() || it->second;
}

bool SimDialogWindow::ItemVisible(int id) const {
    const auto it = m_itemVisible.find(id);
    return it == m_itemVisible.end() || it->second;
}

bool SimDialogWindow::GetCheck(int id) {
    const auto it = m_checks.find(id);
    return it != m_checks.end() && it->second;
}

int SimDialogWindow::ListAddString(int id, const os::WString& text) {
    ListBox& list = m_lists[id];
    auto at = list.rows.end();
    if (m_ui.IsSortedList(m_templateId, id)) {
        // LBS_SORT: case-insensitive order, a new row after its equals.
        const os::WString key = os::ToUpper(text);
        at = std::upper_bound(
            list.rows.begin(), list.rows.end(), key,
            [](const os::WString& k, const os::WString& row) { return k < os::ToUpper(row); });
    }
    const int index = static_cast<int>(at - list.rows.begin());
    list.rows.insert(at, text);
    if (list.selected >= index) {
        ++list.selected;  // the selection stays on its row
    }
    return index;
}

void SimDialogWindow::ListResetContent(int id) {
    m_lists[id] = ListBox{};
}

int SimDialogWindow::ListGetCount(int id) {
    return static_cast<int>(m_lists[id].rows.size());
}

int SimDialogWindow::ListGetCurSel(int id) {
    return m_lists[id].selected;
}

void SimDialogWindow::ListSetCurSel(int id, int index) {
    ListBox& list = m_lists[id];
    // An index outside the rows (or -1) leaves no row selected.
    list.selected = index >= 0 && index < static_cast<int>(list.rows.size()) ? index : -1;
}

os::WString SimDialogWindow::ListGetText(int id, int index) {
    const ListBox& list = m_lists[id];
    return index >= 0 && index < static_cast<int>(list.rows.size()) ? list.rows[index]
                                                                    : os::WString{};
}

void SimDialogWindow::SetProgressRange(int id, int lower, int upper) {
    Progress& bar = m_progress[id];
    bar.lower = lower;
    bar.upper = upper;
    bar.pos = std::clamp(bar.pos, lower, std::max(lower, upper));
}

void SimDialogWindow::SetProgressPos(int id, int pos) {
    Progress& bar = m_progress[id];
    bar.pos = std::clamp(pos, bar.lower, std::max(bar.lower, bar.upper));  // as PBM_SETPOS
}

void SimDialogWindow::DeliverClick(os::Point point) {
    m_dialog.OnMouse(os::MouseEvent::Down, point);
    m_dialog.OnMouse(os::MouseEvent::Up, point);
}

void SimDialogWindow::DeliverDoubleClick(os::Point point) {
    DeliverClick(point);
    m_dialog.OnMouse(os::MouseEvent::DoubleClick, point);
    m_dialog.OnMouse(os::MouseEvent::Up, point);
}

void SimDialogWindow::DeliverCommand(int id) {
    if (id == os::kIdOk) {
        m_dialog.OnOK();
    } else if (id == os::kIdCancel) {
        m_dialog.OnCancel();
    } else {
        m_dialog.OnCommand(id);
    }
}

void SimDialogWindow::DeliverCheckClick(int id) {
    if (!ItemEnabled(id) || !ItemVisible(id)) {
        return;  // a disabled or hidden control takes no click
    }
    m_checks[id] = !GetCheck(id);
    m_dialog.OnCommand(id);
}

void SimDialogWindow::DeliverRowDoubleClick(int listId, int index) {
    ListSetCurSel(listId, index);
    m_dialog.OnListDoubleClick(listId);
}

void SimDialogWindow::DeliverSysCommand(unsigned id) {
    if (!m_dialog.OnSysCommand(id) && id == kScClose) {
        DeliverClose();
    }
}

void SimDialogWindow::Paint() {
    m_invalid = false;
    m_lastPaint = std::make_shared<DrawList>();
    ++m_paints;
    SimCanvas canvas(m_lastPaint);
    m_dialog.OnPaint(canvas);
}

}  // namespace sim
