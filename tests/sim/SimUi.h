// The simulated user-interface thread of one PC: the dialog host, message boxes answered from
// a script, the thread's message queue (posted application messages, WM_CLOSE, timers on the
// virtual clock, repaints) and a script of user actions the message loops play.
//
// A modal loop, in each round: delivers one posted message, else performs one pending repaint,
// else plays the next script step, else fires one due timer; when none of these applies it
// waits (WaitForWork: the virtual clock jumps to the next timer or scripted pause). When even
// waiting has nothing to wait for, the user is taken to have closed the dialog (OnCancel); if it
// still does not end, RunModal returns kIdCancel after a few more idle rounds. So no test hangs.
//
// PumpMessages does what a PeekMessage loop does: posted messages, repaints, due timers, and
// of the script only the steps marked as input (typed ahead while the program was busy); it
// never waits and never advances the clock.
//
// In a world (AttachSeat) the PC's loops wait through its seat while the other PCs run, so the
// rule above about nothing left to happen does not apply: when the whole world is idle the
// test decides what comes next. There an unscripted message box stays open (OpenBox) until the
// test answers it (AnswerBox), and meanwhile the PC goes on handling posted messages, socket
// events and timers, as a real message box does. PumpMessages lets the other PCs run first.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "os/Ui.h"
#include "sim/SimClock.h"
#include "sim/SimSeat.h"

namespace sim {

class SimDialogWindow;

// One recorded message box.
struct SimBox {
    os::Dialog* owner = nullptr;
    os::WString text;
    os::WString title;
    unsigned type = 0;
    int answer = 0;
    bool scripted = false;  // answered from ExpectBox rather than by default
};

// One scripted user action, played on the active dialog (the innermost modal one).
struct SimStep {
    std::string label;
    int templateId = 0;   // when not 0, the active dialog must come from this template
    bool input = false;   // may also be played by PumpMessages
    uint64_t waitMs = 0;  // a pause: later steps wait until the clock has moved on this much
    std::function<void(SimDialogWindow&)> action;

    SimStep& In(int id) {
        templateId = id;
        return *this;
    }
    SimStep& AsInput() {
        input = true;
        return *this;
    }
};

class SimUi : public os::Ui {
  public:
    explicit SimUi(std::shared_ptr<SimClock> clock = nullptr);
    ~SimUi() override;
    SimUi(const SimUi&) = delete;
    SimUi& operator=(const SimUi&) = delete;

    // os::Ui
    std::unique_ptr<os::DialogWindow> CreateDialogWindow(os::Dialog& dialog, int templateId,
                                                         os::Dialog* parent) override;
    int MessageBox(os::Dialog* owner, const os::WString& text, const os::WString& title,
                   unsigned type) override;
    void PumpMessages() override;
    void PostQuit(int exitCode) override;
    void NudgeDesktop() override { ++m_desktopNudges; }

    // Templates: the caption and client area a new window of a template starts with.
    void SetTemplateCaption(int templateId, const os::WString& caption);
    void SetTemplateClientRect(int templateId, const os::Rect& rect);
    // A list box of a template with the sorted style.
    void SetSortedList(int templateId, int controlId);
    // A timer that only keeps up appearances (an animation, a keep-awake tick): it fires while
    // the PC runs for other reasons, but never wakes it, so it cannot keep a world from idling.
    void SetBackgroundTimer(int templateId, int timerId);
    // Makes such a timer an ordinary one again: it wakes the PC when it is due.
    void ClearBackgroundTimer(int templateId, int timerId);
    os::WString TemplateCaption(int templateId) const;
    os::Rect TemplateClientRect(int templateId) const;
    bool IsSortedList(int templateId, int controlId) const;

    // Message boxes. ExpectBox queues the next answer; `textContains`, when given, must occur
    // in the box's text. Unscripted boxes get the default button's answer (OK, OK, Yes) unless
    // SetDefaultAnswer says otherwise for that set of buttons (kMbOk, kMbOkCancel, kMbYesNo).
    void ExpectBox(int answer, const os::WString& textContains = {});
    void SetDefaultAnswer(unsigned buttons, int answer);
    const std::vector<SimBox>& Boxes() const { return m_boxes; }
    // In a world: the innermost box waiting for an answer (null when none), and answering it.
    // Answers that fit no button of the box are refused.
    const SimBox* OpenBox() const;
    bool AnswerBox(int answer);

    // The script of user actions.
    SimStep& ClickAt(os::Point point);
    SimStep& DoubleClickAt(os::Point point);
    SimStep& PressEnter();   // the default button: IDOK
    SimStep& PressEscape();  // IDCANCEL
    SimStep& Command(int id);
    SimStep& SysCommand(unsigned id);
    SimStep& RequestPaint();
    SimStep& SelectRow(int listId, int index);  // the user picks a list-box row
    SimStep& DoubleClickRow(int listId, int index);
    SimStep& Wait(uint64_t milliseconds);
    SimStep& Do(const std::string& label, std::function<void(SimDialogWindow&)> action);
    size_t PendingSteps() const { return m_script.size(); }
    // Steps that found the wrong dialog or none, and box answers that did not fit.
    const std::vector<std::string>& ScriptErrors() const { return m_scriptErrors; }

    // State for assertions.
    SimDialogWindow* ActiveWindow() const;
    SimDialogWindow* FindWindow(int templateId) const;  // the newest existing one
    const std::vector<SimDialogWindow*>& Windows() const { return m_windows; }
    bool QuitPosted() const { return m_quit; }
    int QuitCode() const { return m_quitCode; }
    int IdleCloses() const { return m_idleCloses; }  // dialogs closed because nothing was left
    int ForcedEnds() const { return m_forcedEnds; }  // dialogs that would not close
    int DesktopNudges() const { return m_desktopNudges; }
    SimClock& Clock() { return *m_clock; }

    // Bounds of a loop without work: extra idle rounds after the close, and virtual time that
    // may pass on timers alone once the script is empty.
    void SetIdleLimits(int rounds, uint64_t virtualMs);

    // Joins a world: loops and boxes wait through `seat`.
    void AttachSeat(SimSeat& seat) { m_seat = &seat; }
    SimSeat* Seat() const { return m_seat; }
    // Queues a message that runs `task` on this PC's thread (socket events).
    void PostTask(std::function<void()> task);
    // Whether PumpMessages would find something to do now, and the next virtual time at which
    // a timer or a scripted pause ends.
    bool HasPumpWork() const;
    std::optional<uint64_t> NextDue() const;

  private:
    friend class SimDialogWindow;

    struct Posted {
        SimDialogWindow* window;
        bool close;  // WM_CLOSE rather than WM_APP + n
        unsigned n;
        uintptr_t wParam;
        std::function<void()> task;  // a message of no window (socket events)
    };

    // Called by the windows.
    void Register(SimDialogWindow* window);
    void Unregister(SimDialogWindow* window);
    void Post(SimDialogWindow* window, bool close, unsigned n, uintptr_t wParam);
    int RunModalLoop(SimDialogWindow& window);

    bool DeliverPosted();
    bool FireDueTimer();
    bool PaintPending();
    bool PlayStep(bool inputOnly);
    bool CanPlayStep(bool inputOnly) const;
    bool TimerDue() const;
    bool PaintWaiting() const;
    bool HasLoopWork() const;
    // A box that waits for the test's answer while its PC handles its messages.
    int WaitForAnswer(size_t boxIndex);
    int DefaultAnswer(unsigned type) const;
    // The one place a loop waits for something to happen. Alone, it moves the virtual clock to
    // the next timer or scripted pause; false when there is none. In a world it hands the run
    // over until this PC has work; false only when the world ends.
    bool WaitForWork();
    SimStep& Push(const std::string& label, std::function<void(SimDialogWindow&)> action);

    std::shared_ptr<SimClock> m_clock;
    std::map<int, os::WString> m_captions;
    std::map<int, os::Rect> m_clientRects;
    std::set<std::pair<int, int>> m_sortedLists;
    std::vector<SimDialogWindow*> m_windows;  // existing windows, oldest first
    std::vector<SimDialogWindow*> m_modal;    // running modal loops, innermost last
    std::deque<Posted> m_posted;
    std::deque<SimStep> m_script;
    uint64_t m_resumeAt = 0;

    struct Expected {
        int answer;
        os::WString textContains;
    };
    std::deque<Expected> m_boxAnswers;
    std::map<unsigned, int> m_defaultAnswers;
    std::vector<SimBox> m_boxes;
    std::vector<size_t> m_openBoxes;  // indexes into m_boxes, innermost last
    SimSeat* m_seat = nullptr;
    std::vector<std::string> m_scriptErrors;

    bool m_quit = false;
    int m_quitCode = 0;
    int m_idleCloses = 0;
    int m_forcedEnds = 0;
    int m_desktopNudges = 0;
    int m_maxIdleRounds = 3;
    uint64_t m_idleTimeMs = 60ull * 60 * 1000;
    std::set<std::pair<int, int>> m_backgroundTimers;
};

}  // namespace sim
