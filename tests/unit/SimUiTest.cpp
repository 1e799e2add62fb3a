// The simulated dialog host: the modal loop's order of work, the script, message boxes,
// nested and modeless dialogs, quitting, pumping, window state and the never-hang rule.
#include "sim/SimUi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/Text.h"
#include "sim/SimDialogWindow.h"

namespace sim {
namespace {

constexpr int kMainTemplate = 102;
constexpr int kChildTemplate = 129;
constexpr unsigned kScClose = 0xF060;

// A dialog that logs every call the host makes, with the virtual time of timers.
class LoggingDialog : public os::Dialog {
  public:
    LoggingDialog(SimUi& ui, int templateId, os::Dialog* parent = nullptr)
        : os::Dialog(ui, templateId, parent), m_ui(ui) {}

    bool OnInitDialog() override {
        Log("init");
        if (onInit) {
            onInit(*this);
        }
        return true;
    }
    void OnPaint(os::Canvas& canvas) override {
        Log("paint");
        canvas.DrawBitmap(300, 10, 20);
        canvas.DrawText(u"\u5F15\u8D8A\u5143", 40, 50, os::FontSpec{18, 700, u"Meiryo"}, 0xFF);
    }
    void OnMouse(os::MouseEvent event, os::Point p) override {
        static const char* const kNames[] = {"down", "double", "move", "up"};
        Log(std::string(kNames[static_cast<int>(event)]) + " " + std::to_string(p.x) + "," +
            std::to_string(p.y));
    }
    void OnTimer(int id) override {
        Log("timer " + std::to_string(id) + " @" + std::to_string(m_ui.Clock().NowMs()));
        if (onTimer) {
            onTimer(*this, id);
        }
    }
    bool OnCommand(int id) override {
        Log("command " + std::to_string(id));
        if (onCommand) {
            onCommand(*this, id);
        }
        return true;
    }
    bool OnSysCommand(unsigned id) override {
        Log("syscommand " + std::to_string(id));
        return id == 0x10;  // its own menu entry
    }
    intptr_t OnAppMessage(unsigned n, uintptr_t wParam) override {
        Log("app " + std::to_string(n) + " " + std::to_string(wParam));
        return static_cast<intptr_t>(n * 100 + wParam);
    }
    void OnOK() override {
        Log("ok");
        os::Dialog::OnOK();
    }
    void OnCancel() override {
        Log("cancel");
        if (endsOnCancel) {
            os::Dialog::OnCancel();
        }
    }
    void OnDestroy() override { Log("destroy"); }

    SimDialogWindow& Sim() { return static_cast<SimDialogWindow&>(Window()); }
    void Log(const std::string& entry) { log->push_back(entry); }

    std::shared_ptr<std::vector<std::string>> log = std::make_shared<std::vector<std::string>>();
    bool endsOnCancel = true;
    std::function<void(LoggingDialog&)> onInit;
    std::function<void(LoggingDialog&, int)> onTimer;
    std::function<void(LoggingDialog&, int)> onCommand;

  private:
    SimUi& m_ui;
};

using Log = std::vector<std::string>;

TEST(SimUi, ModalLoopPlaysTheScriptAfterTheFirstPaint) {
    SimUi ui;
    LoggingDialog dlg(ui, kMainTemplate);
    ui.ClickAt({30, 40});
    ui.DoubleClickAt({5, 6});
    ui.Command(1001);
    ui.PressEnter();
    EXPECT_EQ(dlg.DoModal(), os::kIdOk);
    EXPECT_EQ(*dlg.log, (Log{"init", "paint", "down 30,40", "up 30,40", "down 5,6", "up 5,6",
                             "double 5,6", "up 5,6", "command 1001", "ok", "destroy"}));
    EXPECT_FALSE(dlg.HasWindow());
    EXPECT_EQ(ui.PendingSteps(), 0u);
    EXPECT_EQ(ui.IdleCloses(), 0);
    EXPECT_TRUE(ui.ScriptErrors().empty());
}

TEST(SimUi, PostedMessagesGoBeforeTimersAndTimersBeforeTheUser) {
    SimUi ui;
    LoggingDialog dlg(ui, kMainTemplate);
    dlg.onInit = [](LoggingDialog& d) {
        d.Window().SetTimer(7, 100);
        d.Window().Post(1, 11);
        d.Window().Post(2, 22);
    };
    dlg.onTimer = [](LoggingDialog& d, int) { d.Window().Post(3, 33); };
    ui.Wait(250);
    ui.PressEscape();
    EXPECT_EQ(dlg.DoModal(), os::kIdCancel);
    EXPECT_EQ(*dlg.log, (Log{"init", "app 1 11", "app 2 22", "paint", "timer 7 @100", "app 3 33",
                             "timer 7 @200", "app 3 33", "cancel", "destroy"}));
    EXPECT_EQ(ui.Clock().NowMs(), 250u);
}

TEST(SimUi, LateTimerFiresOnceAndKilledTimerNever) {
    SimUi ui;
    LoggingDialog dlg(ui, kMainTemplate);
    dlg.onInit = [](LoggingDialog& d) {
        d.Window().SetTimer(1, 0);  // raised to the 10 ms minimum
        d.Window().SetTimer(2, 50);
    };
    dlg.onTimer = [&ui](LoggingDialog& d, int id) {
        if (id == 1) {
            ui.Clock().Advance(35);  // a slow handler: timer 1 is late, not repeated
        } else {
            d.Window().KillTimer(1);
            d.Window().KillTimer(2);
        }
    };
    ui.Wait(200);
    ui.PressEnter();
    EXPECT_EQ(dlg.DoModal(), os::kIdOk);
    EXPECT_EQ(*dlg.log,
              (Log{"init", "paint", "timer 1 @10", "timer 1 @45", "timer 2 @80", "ok", "destroy"}));
}

TEST(SimUi, NeverHangs) {
    struct Row {
        const char* what;
        bool endsOnCancel;
        unsigned timerMs;  // 0: no timer
        int idleCloses;
        int forcedEnds;
    };
    const Row rows[] = {
        {"nothing left: closed like the user would", true, 0, 1, 0},
        {"a dialog that refuses to close", false, 0, 1, 1},
        {"timers run on alone until the idle time is up", true, 1000, 1, 0},
        {"timers and a refusal", false, 1000, 1, 1},
    };
    for (const Row& row : rows) {
        SimUi ui;
        LoggingDialog dlg(ui, kMainTemplate);
        dlg.endsOnCancel = row.endsOnCancel;
        const unsigned timerMs = row.timerMs;
        dlg.onInit = [timerMs](LoggingDialog& d) {
            if (timerMs > 0) {
                d.Window().SetTimer(1, timerMs);
            }
        };
        EXPECT_EQ(dlg.DoModal(), os::kIdCancel) << row.what;
        EXPECT_EQ(ui.IdleCloses(), row.idleCloses) << row.what;
        EXPECT_EQ(ui.ForcedEnds(), row.forcedEnds) << row.what;
        if (row.timerMs > 0) {
            EXPECT_GT(ui.Clock().NowMs(), 3'600'000u) << row.what;
        }
    }
}

TEST(SimUi, IdleLimitsAreSettable) {
    SimUi ui;
    ui.SetIdleLimits(0, 500);
    LoggingDialog dlg(ui, kMainTemplate);
    dlg.endsOnCancel = false;
    dlg.onInit = [](LoggingDialog& d) { d.Window().SetTimer(1, 100); };
    EXPECT_EQ(dlg.DoModal(), os::kIdCancel);
    EXPECT_EQ(ui.Clock().NowMs(), 600u);
    EXPECT_EQ(ui.ForcedEnds(), 1);
}

TEST(SimUi, MessageBoxesAreScriptedAndRecorded) {
    SimUi ui;
    LoggingDialog dlg(ui, kMainTemplate);
    std::vector<int> answers;
    dlg.onCommand = [&](LoggingDialog& d, int) {
        answers.push_back(ui.MessageBox(&d, u"Stop the copy?", u"Title", os::kMbYesNo));
        answers.push_back(ui.MessageBox(nullptr, u"Done.", u"Title", os::kMbOk));
        answers.push_back(ui.MessageBox(&d, u"Again?", u"T2", os::kMbYesNo | os::kMbIconQuestion));
        ui.SetDefaultAnswer(os::kMbYesNo, os::kIdNo);
        answers.push_back(ui.MessageBox(&d, u"Once more?", u"T3", os::kMbYesNo));
        answers.push_back(ui.MessageBox(&d, u"Sure?", u"T4", os::kMbOkCancel));
    };
    ui.ExpectBox(os::kIdNo, u"Stop");
    ui.Command(5);
    ui.PressEnter();
    EXPECT_EQ(dlg.DoModal(), os::kIdOk);
    EXPECT_EQ(answers, (std::vector<int>{os::kIdNo, os::kIdOk, os::kIdYes, os::kIdNo, os::kIdOk}));
    ASSERT_EQ(ui.Boxes().size(), 5u);
    const SimBox& first = ui.Boxes()[0];
    EXPECT_EQ(first.owner, &dlg);
    EXPECT_EQ(first.text, u"Stop the copy?");
    EXPECT_EQ(first.title, u"Title");
    EXPECT_EQ(first.type, os::kMbYesNo);
    EXPECT_TRUE(first.scripted);
    EXPECT_EQ(ui.Boxes()[1].owner, nullptr);
    EXPECT_FALSE(ui.Boxes()[1].scripted);
    EXPECT_EQ(ui.Boxes()[2].type, os::kMbYesNo | os::kMbIconQuestion);
    EXPECT_TRUE(ui.ScriptErrors().empty());
}

TEST(SimUi, ScriptMismatchesAreReported) {
    SimUi ui;
    LoggingDialog dlg(ui, kMainTemplate);
    dlg.onCommand = [&](LoggingDialog&, int) { ui.MessageBox(nullptr, u"Done.", u"T", os::kMbOk); };
    ui.ExpectBox(os::kIdYes, u"Finished");  // neither the text nor a button of an OK box
    ui.PressEnter().In(kChildTemplate);
    ui.Command(3).In(kMainTemplate);
    EXPECT_EQ(dlg.DoModal(), os::kIdCancel) << "the mistaken Enter never reached the dialog";
    ASSERT_EQ(ui.ScriptErrors().size(), 3u);
    EXPECT_EQ(ui.ScriptErrors()[0], "step \"Enter\": expected dialog 129, dialog 102 is active");
    EXPECT_NE(ui.ScriptErrors()[1].find("does not contain \"Finished\""), std::string::npos);
    EXPECT_NE(ui.ScriptErrors()[2].find("has no button 6"), std::string::npos);
}

TEST(SimUi, NestedModalDialogs) {
    SimUi ui;
    LoggingDialog outer(ui, kMainTemplate);
    LoggingDialog inner(ui, kChildTemplate, &outer);
    inner.log = outer.log;  // one story
    bool outerEnabledDuringInner = true;
    int innerResult = 0;
    outer.onCommand = [&](LoggingDialog&, int) { innerResult = inner.DoModal(); };
    inner.onInit = [&](LoggingDialog&) {
        outerEnabledDuringInner = outer.Sim().Enabled();
        outer.Window().Post(9, 1);  // the outer window still gets its messages
    };
    ui.Command(40).In(kMainTemplate);
    ui.Do("check", [&](SimDialogWindow& w) {
        EXPECT_EQ(ui.ActiveWindow(), &w);
        EXPECT_EQ(w.TemplateId(), kChildTemplate);
    });
    ui.PressEnter().In(kChildTemplate);
    ui.PressEscape().In(kMainTemplate);
    EXPECT_EQ(outer.DoModal(), os::kIdCancel);
    EXPECT_EQ(innerResult, os::kIdOk);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_EQ(*outer.log, (Log{"init", "paint", "command 40", "init", "app 9 1", "paint", "ok",
                               "destroy", "cancel", "destroy"}));
    EXPECT_TRUE(ui.ScriptErrors().empty());
}

TEST(SimUi, PostQuitEndsEveryRunningLoop) {
    SimUi ui;
    LoggingDialog outer(ui, kMainTemplate);
    LoggingDialog inner(ui, kChildTemplate, &outer);
    int innerResult = 0;
    outer.onCommand = [&](LoggingDialog&, int) { innerResult = inner.DoModal(); };
    inner.onCommand = [&](LoggingDialog&, int) { ui.PostQuit(4); };
    ui.Command(10);
    ui.Command(20);
    ui.PressEnter();  // never played
    EXPECT_EQ(outer.DoModal(), 4);
    EXPECT_EQ(innerResult, 4);
    EXPECT_TRUE(ui.QuitPosted());
    EXPECT_EQ(ui.PendingSteps(), 1u);
}

TEST(SimUi, PumpDeliversMessagesTimersAndTypedAheadInputOnly) {
    SimUi ui;
    LoggingDialog dlg(ui, kMainTemplate);
    dlg.onCommand = [&](LoggingDialog& d, int id) {
        if (id != 9) {
            return;
        }
        d.Window().Post(1, 0);
        d.Window().SetTimer(3, 10);
        ui.Clock().Advance(10);  // work that takes time
        ui.PumpMessages();
        d.Log("pumped");
    };
    ui.Command(9);
    ui.ClickAt({1, 2}).AsInput();
    ui.PressEnter();
    EXPECT_EQ(dlg.DoModal(), os::kIdOk);
    EXPECT_EQ(*dlg.log, (Log{"init", "paint", "command 9", "app 1 0", "down 1,2", "up 1,2",
                             "timer 3 @10", "pumped", "ok", "destroy"}));
}

TEST(SimUi, ModelessWindowLivesUntilDestroyed) {
    SimUi ui;
    LoggingDialog dlg(ui, kChildTemplate);
    ASSERT_TRUE(dlg.Create());
    EXPECT_TRUE(dlg.HasWindow());
    EXPECT_EQ(ui.FindWindow(kChildTemplate), &dlg.Sim());
    dlg.Window().Post(5, 6);
    dlg.Window().SetTimer(1, 100);
    EXPECT_EQ(dlg.Window().Send(2, 3), 203);
    ui.PumpMessages();
    ui.Clock().Advance(100);
    ui.PumpMessages();
    dlg.DestroyWindow();
    dlg.Window().Post(7, 7);  // dropped: no window
    ui.Clock().Advance(1000);
    ui.PumpMessages();
    EXPECT_FALSE(dlg.HasWindow());
    EXPECT_EQ(ui.FindWindow(kChildTemplate), nullptr);
    EXPECT_EQ(*dlg.log, (Log{"init", "app 2 3", "app 5 6", "paint", "timer 1 @100", "destroy"}));
}

TEST(SimUi, SystemCommandsAndClose) {
    SimUi ui;
    LoggingDialog dlg(ui, kMainTemplate);
    dlg.endsOnCancel = false;
    dlg.onCommand = [](LoggingDialog& d, int) { d.Window().PostClose(); };
    ui.SysCommand(0x10);      // handled by the dialog
    ui.Command(8);            // posts WM_CLOSE, which reaches OnCancel
    ui.SysCommand(kScClose);  // not handled: closes like WM_CLOSE
    ui.Do("end", [](SimDialogWindow& w) { w.End(3); });
    EXPECT_EQ(dlg.DoModal(), 3);
    EXPECT_EQ(*dlg.log, (Log{"init", "paint", "syscommand 16", "command 8", "cancel",
                             "syscommand 61536", "cancel", "destroy"}));
    EXPECT_EQ(ui.IdleCloses(), 0);
}

TEST(SimUi, WindowStateAndPaintRecord) {
    SimUi ui;
    ui.SetTemplateCaption(kMainTemplate, u"APPLICATION_NAME");
    ui.SetTemplateClientRect(kMainTemplate, {0, 0, 500, 360});
    LoggingDialog dlg(ui, kMainTemplate);
    dlg.onInit = [](LoggingDialog& d) {
        os::DialogWindow& w = d.Window();
        EXPECT_EQ(w.GetCaption(), u"APPLICATION_NAME");
        w.SetCaption(u"\u30BD\u30E9\u30CE\u30EF Basic");
        w.SetIcon(128);
        w.AppendSystemMenu(0x10, u"About...");
        w.SetItemText(1100, u"Version 1.0");
        w.EnableItem(1, false);
        w.ShowItem(2, false);
        w.SetCapture();
        auto direct = w.DirectCanvas();
        direct->FillRect({1, 2, 3, 4}, 0x123456);
        direct->DrawIcon(128, 5, 6);
    };
    ui.Do("inspect", [](SimDialogWindow& w) {
        EXPECT_EQ(w.GetCaption(), u"\u30BD\u30E9\u30CE\u30EF Basic");
        EXPECT_EQ(w.IconId(), 128);
        ASSERT_EQ(w.SystemMenu().size(), 1u);
        EXPECT_EQ(w.SystemMenu()[0].second, u"About...");
        EXPECT_EQ(w.GetItemText(1100), u"Version 1.0");
        EXPECT_EQ(w.GetItemText(1101), u"");
        EXPECT_FALSE(w.ItemEnabled(1));
        EXPECT_TRUE(w.ItemEnabled(2));
        EXPECT_FALSE(w.ItemVisible(2));
        EXPECT_TRUE(w.HasCapture());
        EXPECT_EQ(w.ClientRect().right, 500);
        EXPECT_EQ(w.PaintCount(), 1);
        const DrawOp* bitmap = FindBitmap(w.LastPaint(), 300);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->x, 10);
        EXPECT_EQ(bitmap->y, 20);
        const DrawOp* text = FindText(w.LastPaint(), u"\u5F15\u8D8A\u5143");
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->font.face, u"Meiryo");
        EXPECT_EQ(text->rgb, 0xFFu);
        ASSERT_EQ(w.DirectDrawing().size(), 2u);
        EXPECT_EQ(w.DirectDrawing()[0].kind, DrawOp::Kind::Fill);
        EXPECT_EQ(w.DirectDrawing()[1].kind, DrawOp::Kind::Icon);
        w.Invalidate();
    });
    ui.Do("repainted", [](SimDialogWindow& w) {
        EXPECT_EQ(w.PaintCount(), 2);
        EXPECT_FALSE(w.RepaintPending());
        EXPECT_EQ(Texts(w.LastPaint()).size(), 1u) << "a fresh canvas per paint";
    });
    ui.PressEnter();
    EXPECT_EQ(dlg.DoModal(), os::kIdOk);
    EXPECT_TRUE(ui.ScriptErrors().empty());
}

TEST(SimUi, ListBoxesAndProgressBarsBehaveLikeTheControls) {
    SimUi ui;
    ui.SetSortedList(kChildTemplate, 1000);
    LoggingDialog dlg(ui, kChildTemplate);
    dlg.onInit = [](LoggingDialog& d) {
        os::DialogWindow& w = d.Window();
        // A sorted list places rows case-insensitively, equals after equals.
        EXPECT_EQ(w.ListAddString(1000, u"PC-C"), 0);
        EXPECT_EQ(w.ListAddString(1000, u"pc-a"), 0);
        w.ListSetCurSel(1000, 1);  // PC-C
        EXPECT_EQ(w.ListAddString(1000, u"PC-B"), 1);
        EXPECT_EQ(w.ListAddString(1000, u"PC-A"), 1);
        EXPECT_EQ(w.ListGetCurSel(1000), 3) << "the selection stays on PC-C";
        EXPECT_EQ(w.ListGetText(1000, 3), u"PC-C");
        // An unsorted list appends.
        EXPECT_EQ(w.ListAddString(1001, u"b"), 0);
        EXPECT_EQ(w.ListAddString(1001, u"a"), 1);
        w.SetProgressRange(1002, 0, 250);
        w.SetProgressPos(1002, 300);
    };
    ui.SelectRow(1000, 2);
    ui.Do("check", [](SimDialogWindow& w) {
        EXPECT_EQ(w.ListRows(1000), (std::vector<os::WString>{u"pc-a", u"PC-A", u"PC-B", u"PC-C"}));
        EXPECT_EQ(w.ListGetCurSel(1000), 2);
        EXPECT_EQ(w.ListRows(1001), (std::vector<os::WString>{u"b", u"a"}));
        EXPECT_EQ(w.ListGetCount(1001), 2);
        EXPECT_EQ(w.ListGetText(1001, 2), u"");
        w.ListSetCurSel(1001, 5);
        EXPECT_EQ(w.ListGetCurSel(1001), -1) << "no row past the end";
        w.ListResetContent(1000);
        EXPECT_EQ(w.ListGetCount(1000), 0);
        EXPECT_EQ(w.ListGetCurSel(1000), -1);
        EXPECT_EQ(w.GetProgressUpper(1002), 250);
        EXPECT_EQ(w.ProgressPos(1002), 250) << "positions are clamped to the range";
        w.SetProgressPos(1002, -4);
        EXPECT_EQ(w.ProgressPos(1002), 0);
        EXPECT_EQ(w.GetProgressUpper(1003), 100) << "a new bar runs to 100";
    });
    ui.PressEnter();
    EXPECT_EQ(dlg.DoModal(), os::kIdOk);
    ui.NudgeDesktop();
    EXPECT_EQ(ui.DesktopNudges(), 1);
}

}  // namespace
}  // namespace sim
