// The simulated user-interface thread: dialog host, message boxes, message queue, script.
#include "sim/SimUi.h"

#include <algorithm>
#include <optional>

#include "os/Text.h"
#include "sim/SimDialogWindow.h"

namespace sim {
namespace {

// A loop that keeps finding work for this long is stuck in a message storm.
constexpr uint64_t kMaxLoopRounds = 5'000'000;
constexpr int kMaxPumpRounds = 100'000;

bool AnswerFits(unsigned type, int answer) {
    switch (type & 0xF) {
        case os::kMbOk:
            return answer == os::kIdOk;
        case os::kMbOkCancel:
            return answer == os::kIdOk || answer == os::kIdCancel;
        case os::kMbYesNo:
            return answer == os::kIdYes || answer == os::kIdNo;
        default:
            return true;
    }
}

}  // namespace

SimUi::SimUi(std::shared_ptr<SimClock> clock)
    : m_clock(clock ? std::move(clock) : std::make_shared<SimClock>()) {
    // The default button of each box: what a user pressing Enter gets.
    m_defaultAnswers[os::kMbOk] = os::kIdOk;
    m_defaultAnswers[os::kMbOkCancel] = os::kIdOk;
    m_defaultAnswers[os::kMbYesNo] = os::kIdYes;
}

SimUi::~SimUi() = default;

std::unique_ptr<os::DialogWindow> SimUi::CreateDialogWindow(os::Dialog& dialog, int templateId,
                                                            os::Dialog* parent) {
    return std::make_unique<SimDialogWindow>(*this, dialog, templateId, parent);
}

void SimUi::SetTemplateCaption(int templateId, const os::WString& caption) {
    m_captions[templateId] = caption;
}

void SimUi::SetTemplateClientRect(int templateId, const os::Rect& rect) {
    m_clientRects[templateId] = rect;
}

void SimUi::SetSortedList(int templateId, int controlId) {
    m_sortedLists.insert({templateId, controlId});
}

bool SimUi::IsSortedList(int templateId, int controlId) const {
    return m_sortedLists.count({templateId, controlId}) != 0;
}

os::WString SimUi::TemplateCaption(int templateId) const {
    const auto it = m_captions.find(templateId);
    return it == m_captions.end() ? os::WString{} : it->second;
}

os::Rect SimUi::TemplateClientRect(int templateId) const {
    const auto it = m_clientRects.find(templateId);
    return it == m_clientRects.end() ? os::Rect{0, 0, 640, 480} : it->second;
}

void SimUi::ExpectBox(int answer, const os::WString& textContains) {
    m_boxAnswers.push_back({answer, textContains});
}

void SimUi::SetDefaultAnswer(unsigned buttons, int answer) {
    m_defaultAnswers[buttons] = answer;
}

int SimUi::MessageBox(os::Dialog* owner, const os::WString& text, const os::WString& title,
                      unsigned type) {
    SimBox box{owner, text, title, type, os::kIdOk, false};
    if (!m_boxAnswers.empty()) {
        const Expected expected = m_boxAnswers.front();
        m_boxAnswers.pop_front();
        box.answer = expected.answer;
        box.scripted = true;
        if (!expected.textContains.empty() &&
            text.find(expected.textContains) == os::WString::npos) {
            m_scriptErrors.push_back("message box \"" + os::ToUtf8(text) +
                                     "\" does not contain \"" + os::ToUtf8(expected.textContains) +
                                     "\"");
        }
        if (!AnswerFits(type, box.answer)) {
            m_scriptErrors.push_back("message box \"" + os::ToUtf8(text) + "\" has no button " +
                                     std::to_string(box.answer));
        }
    } else if (m_seat != nullptr) {
        box.answer = 0;  // open until the test answers
        m_boxes.push_back(box);
        return WaitForAnswer(m_boxes.size() - 1);
    } else {
        box.answer = DefaultAnswer(type);
    }
    m_boxes.push_back(box);
    return box.answer;
}

int SimUi::DefaultAnswer(unsigned type) const {
    const auto it = m_defaultAnswers.find(type & 0xF);
    return it == m_defaultAnswers.end() ? os::kIdOk : it->second;
}

int SimUi::WaitForAnswer(size_t boxIndex) {
    m_openBoxes.push_back(boxIndex);
    const auto answered = [this, boxIndex] { return m_boxes[boxIndex].answer != 0; };
    while (!answered()) {
        if (m_quit) {
            break;  // WM_QUIT ends a message box too
        }
        // A message box's own loop: everything but input to the windows behind it.
        if (DeliverPosted() || PaintPending() || FireDueTimer()) {
            continue;
        }
        const bool waited = m_seat->Wait(
            [&] {
                return answered() || m_quit || !m_posted.empty() || PaintWaiting() || TimerDue();
            },
            [this] { return NextDue(); });
        if (!waited) {
            break;
        }
    }
    if (!answered()) {
        m_boxes[boxIndex].answer = DefaultAnswer(m_boxes[boxIndex].type);
    }
    m_openBoxes.erase(std::remove(m_openBoxes.begin(), m_openBoxes.end(), boxIndex),
                      m_openBoxes.end());
    return m_boxes[boxIndex].answer;
}

const SimBox* SimUi::OpenBox() const {
    return m_openBoxes.empty() ? nullptr : &m_boxes[m_openBoxes.back()];
}

bool SimUi::AnswerBox(int answer) {
    if (m_openBoxes.empty()) {
        return false;
    }
    SimBox& box = m_boxes[m_openBoxes.back()];
    if (answer == 0 || box.answer != 0 || !AnswerFits(box.type, answer)) {
        return false;
    }
    box.answer = answer;
    return true;
}

void SimUi::PostTask(std::function<void()> task) {
    m_posted.push_back({nullptr, false, 0, 0, std::move(task)});
}

void SimUi::PostQuit(int exitCode) {
    if (!m_quit) {
        m_quit = true;
        m_quitCode = exitCode;
    }
}

void SimUi::SetIdleLimits(int rounds, uint64_t virtualMs) {
    m_maxIdleRounds = rounds;
    m_idleTimeMs = virtualMs;
}

SimStep& SimUi::Push(const std::string& label, std::function<void(SimDialogWindow&)> action) {
    SimStep step;
    step.label = label;
    step.action = std::move(action);
    m_script.push_back(std::move(step));
    return m_script.back();
}

SimStep& SimUi::ClickAt(os::Point point) {
    return Push("click " + std::to_string(point.x) + "," + std::to_string(point.y),
                [point](SimDialogWindow& w) { w.DeliverClick(point); });
}

SimStep& SimUi::DoubleClickAt(os::Point point) {
    return Push("double-click " + std::to_string(point.x) + "," + std::to_string(point.y),
                [point](SimDialogWindow& w) { w.DeliverDoubleClick(point); });
}

SimStep& SimUi::PressEnter() {
    return Push("Enter", [](SimDialogWindow& w) { w.DeliverCommand(os::kIdOk); });
}

SimStep& SimUi::PressEscape() {
    return Push("Escape", [](SimDialogWindow& w) { w.DeliverCommand(os::kIdCancel); });
}

SimStep& SimUi::Command(int id) {
    return Push("command " + std::to_string(id),
                [id](SimDialogWindow& w) { w.DeliverCommand(id); });
}

SimStep& SimUi::SysCommand(unsigned id) {
    return Push("system command " + std::to_string(id),
                [id](SimDialogWindow& w) { w.DeliverSysCommand(id); });
}

SimStep& SimUi::RequestPaint() {
    return Push("paint", [](SimDialogWindow& w) { w.Invalidate(); });
}

SimStep& SimUi::SelectRow(int listId, int index) {
    return Push("select row " + std::to_string(index) + " of list " + std::to_string(listId),
                [listId, index](SimDialogWindow& w) { w.ListSetCurSel(listId, index); });
}

SimStep& SimUi::DoubleClickRow(int listId, int index) {
    return Push("double-click row " + std::to_string(index) + " of list " + std::to_string(listId),
                [listId, index](SimDialogWindow& w) { w.DeliverRowDoubleClick(listId, index); });
}

SimStep& SimUi::Wait(uint64_t milliseconds) {
    SimStep& step = Push("wait " + std::to_string(milliseconds) + " ms", nullptr);
    step.waitMs = milliseconds;
    return step;
}

SimStep& SimUi::Do(const std::string& label, std::function<void(SimDialogWindow&)> action) {
    return Push(label, std::move(action));
}

SimDialogWindow* SimUi::ActiveWindow() const {
    if (!m_modal.empty()) {
        return m_modal.back();
    }
    return m_windows.empty() ? nullptr : m_windows.back();
}

SimDialogWindow* SimUi::FindWindow(int templateId) const {
    for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it) {
        if ((*it)->TemplateId() == templateId) {
            return *it;
        }
    }
    return nullptr;
}

void SimUi::Register(SimDialogWindow* window) {
    m_windows.push_back(window);
}

void SimUi::Unregister(SimDialogWindow* window) {
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
    m_modal.erase(std::remove(m_modal.begin(), m_modal.end(), window), m_modal.end());
    m_posted.erase(std::remove_if(m_posted.begin(), m_posted.end(),
                                  [window](const Posted& p) { return p.window == window; }),
                   m_posted.end());
}

void SimUi::Post(SimDialogWindow* window, bool close, unsigned n, uintptr_t wParam) {
    m_posted.push_back({window, close, n, wParam, nullptr});
}

bool SimUi::DeliverPosted() {
    if (m_posted.empty()) {
        return false;
    }
    const Posted message = std::move(m_posted.front());
    m_posted.pop_front();
    if (message.task) {
        message.task();
    } else if (message.close) {
        message.window->DeliverClose();
    } else {
        message.window->Dialog().OnAppMessage(message.n, message.wParam);
    }
    return true;
}

// Fires the timer that has been due longest (WM_TIMER comes once however late it is).
bool SimUi::FireDueTimer() {
    const uint64_t now = m_clock->NowMs();
    SimDialogWindow* window = nullptr;
    int id = 0;
    uint64_t due = 0;
    for (SimDialogWindow* w : m_windows) {
        for (const auto& [timerId, timer] : w->m_timers) {
            if (timer.due <= now && (!window || timer.due < due)) {
                window = w;
                id = timerId;
                due = timer.due;
            }
        }
    }
    if (!window) {
        return false;
    }
    auto& timer = window->m_timers[id];
    timer.due = now + timer.period;
    window->Dialog().OnTimer(id);
    return true;
}

bool SimUi::PaintPending() {
    for (SimDialogWindow* w : m_windows) {
        if (w->m_invalid) {
            w->Paint();
            return true;
        }
    }
    return false;
}

bool SimUi::PlayStep(bool inputOnly) {
    if (m_script.empty() || m_clock->NowMs() < m_resumeAt ||
        (inputOnly && !m_script.front().input)) {
        return false;
    }
    SimStep step = std::move(m_script.front());
    m_script.pop_front();
    if (step.waitMs > 0) {
        m_resumeAt = m_clock->NowMs() + step.waitMs;
        return true;
    }
    SimDialogWindow* target = ActiveWindow();
    if (!target) {
        m_scriptErrors.push_back("step \"" + step.label + "\": no dialog is shown");
    } else if (step.templateId != 0 && target->TemplateId() != step.templateId) {
        m_scriptErrors.push_back("step \"" + step.label + "\": expected dialog " +
                                 std::to_string(step.templateId) + ", dialog " +
                                 std::to_string(target->TemplateId()) + " is active");
    } else if (step.action) {
        step.action(*target);
    }
    return true;
}

bool SimUi::CanPlayStep(bool inputOnly) const {
    return !m_script.empty() && m_clock->NowMs() >= m_resumeAt &&
           (!inputOnly || m_script.front().input);
}

bool SimUi::TimerDue() const {
    const uint64_t now = m_clock->NowMs();
    for (SimDialogWindow* w : m_windows) {
        for (const auto& [id, timer] : w->m_timers) {
            if (timer.due <= now) {
                return true;
            }
        }
    }
    return false;
}

bool SimUi::PaintWaiting() const {
    return std::any_of(m_windows.begin(), m_windows.end(),
                       [](const SimDialogWindow* w) { return w->m_invalid; });
}

bool SimUi::HasPumpWork() const {
    return !m_posted.empty() || PaintWaiting() || CanPlayStep(true) || TimerDue();
}

bool SimUi::HasLoopWork() const {
    return m_quit || !m_posted.empty() || PaintWaiting() || CanPlayStep(false) || TimerDue();
}

void SimUi::SetBackgroundTimer(int templateId, int timerId) {
    m_backgroundTimers.insert({templateId, timerId});
}

void SimUi::ClearBackgroundTimer(int templateId, int timerId) {
    m_backgroundTimers.erase({templateId, timerId});
}

std::optional<uint64_t> SimUi::NextDue() const {
    std::optional<uint64_t> next;
    for (SimDialogWindow* w : m_windows) {
        for (const auto& [id, timer] : w->m_timers) {
            if (m_seat != nullptr && m_backgroundTimers.count({w->TemplateId(), id}) != 0) {
                continue;
            }
            next = next ? std::min(*next, timer.due) : timer.due;
        }
    }
    if (m_resumeAt > m_clock->NowMs()) {
        next = next ? std::min(*next, m_resumeAt) : m_resumeAt;
    }
    return next;
}

bool SimUi::WaitForWork() {
    if (m_seat != nullptr) {
        return m_seat->Wait([this] { return HasLoopWork(); }, [this] { return NextDue(); });
    }
    const std::optional<uint64_t> next = NextDue();
    if (!next) {
        return false;
    }
    m_clock->AdvanceTo(*next);
    return true;
}

void SimUi::PumpMessages() {
    if (m_seat != nullptr) {
        m_seat->Yield();
    }
    for (int round = 0; round < kMaxPumpRounds; ++round) {
        if (!DeliverPosted() && !PaintPending() && !PlayStep(true) && !FireDueTimer()) {
            return;
        }
    }
}

int SimUi::RunModalLoop(SimDialogWindow& window) {
    m_modal.push_back(&window);
    int idleRounds = 0;
    uint64_t lastActivity = m_clock->NowMs();
    for (uint64_t round = 0; !window.m_ended; ++round) {
        if (m_quit) {
            window.End(m_quitCode);
            break;
        }
        if (round == kMaxLoopRounds) {
            ++m_forcedEnds;
            window.End(os::kIdCancel);
            break;
        }
        // Windows' order: posted messages, then input, with painting and timers last; the
        // user here acts on a painted screen, so painting comes before the script.
        if (DeliverPosted()) {
            lastActivity = m_clock->NowMs();
            continue;
        }
        if (PaintPending()) {
            continue;
        }
        if (PlayStep(false)) {
            lastActivity = m_clock->NowMs();
            idleRounds = 0;
            continue;
        }
        if (FireDueTimer()) {
            continue;
        }
        if (m_seat != nullptr) {
            // In a world the PC waits for the others; only the world's end stops the wait.
            if (!WaitForWork()) {
                window.End(os::kIdCancel);
            }
            continue;
        }
        // Timers alone may run on for a while once the script is done, not for ever.
        const bool timedOut = m_script.empty() && m_clock->NowMs() - lastActivity > m_idleTimeMs;
        if (!timedOut && WaitForWork()) {
            continue;
        }
        // Nothing will ever happen: the user closes the dialog.
        if (idleRounds == 0) {
            ++m_idleCloses;
            window.DeliverClose();
        } else if (idleRounds > m_maxIdleRounds) {
            ++m_forcedEnds;
            window.End(os::kIdCancel);
        }
        ++idleRounds;
    }
    m_modal.erase(std::remove(m_modal.begin(), m_modal.end(), &window), m_modal.end());
    return window.m_result;
}

}  // namespace sim
