// The dialog host: real dialogs from the test program's own template, driven by messages the
// way Windows delivers them, with every handler call recorded.
#include "os/win32/WinApi.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestResources.h"
#include "os/Ui.h"
#include "os/win32/Win32DialogWindow.h"
#include "os/win32/Win32Ui.h"

namespace {

using os::MouseEvent;
using os::Point;
using os::win32::Win32DialogWindow;

constexpr int kSafetyTimer = 99;  // ends a modal test dialog that would otherwise hang

// A dialog whose handlers run the test's lambdas and record what reached them.
class ScriptedDialog : public os::Dialog {
  public:
    ScriptedDialog(os::Ui& ui, os::Dialog* parent = nullptr)
        : os::Dialog(ui, IDD_TEST_HOST, parent) {}

    HWND Hwnd() { return Win32DialogWindow::HandleOf(this); }

    std::function<void()> onInit;
    std::function<intptr_t(unsigned, uintptr_t)> onApp;
    std::function<void(int)> onTimer;
    std::function<bool(unsigned)> onSysCommand;
    std::function<void(os::Canvas&)> onPaint;

    std::vector<std::string> log;
    std::vector<int> commands;
    std::vector<std::pair<MouseEvent, Point>> mouse;

    bool OnInitDialog() override {
        log.push_back("init");
        Window().SetTimer(kSafetyTimer, 5000);
        if (onInit) {
            onInit();
        }
        return true;
    }
    intptr_t OnAppMessage(unsigned n, uintptr_t wParam) override {
        log.push_back("app " + std::to_string(n) + " " + std::to_string(wParam));
        return onApp ? onApp(n, wParam) : 0;
    }
    void OnTimer(int id) override {
        if (id == kSafetyTimer) {
            EndDialog(-2);
        } else if (onTimer) {
            onTimer(id);
        }
    }
    bool OnCommand(int id) override {
        commands.push_back(id);
        return true;
    }
    bool OnSysCommand(unsigned id) override { return onSysCommand && onSysCommand(id); }
    void OnMouse(MouseEvent event, Point point) override { mouse.emplace_back(event, point); }
    void OnPaint(os::Canvas& canvas) override {
        if (onPaint) {
            onPaint(canvas);
        }
    }
    void OnOK() override {
        log.push_back("ok");
        os::Dialog::OnOK();
    }
    void OnCancel() override {
        log.push_back("cancel");
        os::Dialog::OnCancel();
    }
    void OnDestroy() override { log.push_back("destroy"); }
};

class Win32DialogWindowTest : public testing::Test {
  protected:
    os::win32::Win32Ui ui{GetModuleHandleW(nullptr)};
};

TEST_F(Win32DialogWindowTest, ModalDialogRunsFromInitToItsEndResult) {
    ScriptedDialog dialog(ui);
    dialog.onInit = [&] {
        EXPECT_TRUE(dialog.HasWindow());
        dialog.Window().Post(5, 42);
    };
    intptr_t sent = 0;
    dialog.onApp = [&](unsigned n, uintptr_t) -> intptr_t {
        if (n == 5) {
            // A sent message's result reaches the sender.
            sent = dialog.Window().Send(6, 7);
            dialog.EndDialog(77);
        }
        return n == 6 ? 1234 : 0;
    };
    EXPECT_EQ(dialog.DoModal(), 77);
    EXPECT_EQ(sent, 1234);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"init", "app 5 42", "app 6 7", "destroy"}));
    EXPECT_FALSE(dialog.HasWindow());
}

TEST_F(Win32DialogWindowTest, ClicksAndMenuCommandsReachOnCommandButNotNotifications) {
    ScriptedDialog dialog(ui);
    dialog.onInit = [&] {
        HWND hwnd = dialog.Hwnd();
        HWND button = GetDlgItem(hwnd, IDC_TEST_BUTTON);
        HWND edit = GetDlgItem(hwnd, IDC_TEST_EDIT);
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_TEST_EDIT, EN_CHANGE),
                     reinterpret_cast<LPARAM>(edit));
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(555, 0), 0);  // menu item
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(556, 1), 0);  // accelerator
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
    EXPECT_EQ(dialog.DoModal(), os::kIdOk);
    EXPECT_EQ(dialog.commands, (std::vector<int>{IDC_TEST_BUTTON, 555, 556}));
    EXPECT_EQ(dialog.log.at(1), "ok");
}

TEST_F(Win32DialogWindowTest, CloseAndCancelBothReachOnCancel) {
    for (const bool viaClose : {true, false}) {
        ScriptedDialog dialog(ui);
        dialog.onInit = [&] {
            if (viaClose) {
                dialog.Window().PostClose();
            } else {
                PostMessageW(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            }
        };
        EXPECT_EQ(dialog.DoModal(), os::kIdCancel);
        EXPECT_EQ(dialog.log, (std::vector<std::string>{"init", "cancel", "destroy"}));
    }
}

TEST_F(Win32DialogWindowTest, SystemCommandsAreMaskedAndUnhandledOnesKeepDefaults) {
    ScriptedDialog dialog(ui);
    std::vector<unsigned> seen;
    dialog.onSysCommand = [&](unsigned id) {
        seen.push_back(id);
        return id == 0x0010;  // the program's own "about" item
    };
    bool minimized = false;
    dialog.onInit = [&] { dialog.Window().Post(1, 0); };
    dialog.onApp = [&](unsigned, uintptr_t) -> intptr_t {
        HWND hwnd = dialog.Hwnd();
        SendMessageW(hwnd, WM_SYSCOMMAND, 0x0013, 0);
        // Not handled by the dialog: Windows minimises it.
        SendMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        minimized = dialog.Window().IsMinimized();
        dialog.EndDialog(3);
        return 0;
    };
    EXPECT_EQ(dialog.DoModal(), 3);
    EXPECT_EQ(seen, (std::vector<unsigned>{0x0010, SC_MINIMIZE}));
    EXPECT_TRUE(minimized);
}

TEST_F(Win32DialogWindowTest, MouseMessagesCarrySignedClientCoordinates) {
    ScriptedDialog dialog(ui);
    dialog.onInit = [&] {
        HWND hwnd = dialog.Hwnd();
        SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
        SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-5, 300));
        SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(599, 399));
        SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(0, 0));
        SendMessageW(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 1));  // not ours
        dialog.EndDialog(0);
    };
    dialog.DoModal();
    ASSERT_EQ(dialog.mouse.size(), 4u);
    EXPECT_EQ(dialog.mouse[0].first, MouseEvent::Down);
    EXPECT_EQ(dialog.mouse[1].first, MouseEvent::Move);
    EXPECT_EQ(dialog.mouse[1].second.x, -5);
    EXPECT_EQ(dialog.mouse[1].second.y, 300);
    EXPECT_EQ(dialog.mouse[2].first, MouseEvent::Up);
    EXPECT_EQ(dialog.mouse[2].second.x, 599);
    EXPECT_EQ(dialog.mouse[2].second.y, 399);
    EXPECT_EQ(dialog.mouse[3].first, MouseEvent::DoubleClick);
}

TEST_F(Win32DialogWindowTest, TimersFireByIdUntilKilled) {
    ScriptedDialog dialog(ui);
    int fast = 0;
    dialog.onInit = [&] { dialog.Window().SetTimer(3, 10); };
    dialog.onTimer = [&](int id) {
        if (id == 3 && ++fast == 3) {
            dialog.Window().KillTimer(3);
            dialog.Window().SetTimer(4, 100);
        } else if (id == 4) {
            dialog.EndDialog(fast);
        }
    };
    EXPECT_EQ(dialog.DoModal(), 3);
}

TEST_F(Win32DialogWindowTest, ExceptionsInHandlersNeverLeaveTheDialogProcedure) {
    ScriptedDialog dialog(ui);
    int ticks = 0;
    int paints = 0;
    dialog.onPaint = [&](os::Canvas&) {
        ++paints;
        throw std::runtime_error("paint failed");
    };
    dialog.onInit = [&] { dialog.Window().SetTimer(1, 10); };
    dialog.onTimer = [&](int) {
        if (++ticks == 1) {
            // Painting fails too; it must still end its paint, or WM_PAINT comes back forever.
            ShowWindow(dialog.Hwnd(), SW_SHOWNA);
            UpdateWindow(dialog.Hwnd());
            throw std::logic_error("timer failed");
        }
        dialog.EndDialog(ticks);
    };
    EXPECT_EQ(dialog.DoModal(), 2);
    EXPECT_GE(paints, 1);
    EXPECT_LE(paints, 3);
}

TEST_F(Win32DialogWindowTest, ModelessDialogLivesOnThePumpUntilDestroyed) {
    ScriptedDialog dialog(ui);
    ASSERT_TRUE(dialog.Create());
    EXPECT_TRUE(dialog.HasWindow());
    EXPECT_TRUE(dialog.Create());  // already there: the same window
    dialog.Window().Post(2, 9);
    ui.PumpMessages();
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"init", "app 2 9"}));

    // Ending a modeless dialog destroys it.
    dialog.EndDialog(1);
    EXPECT_FALSE(dialog.HasWindow());
    EXPECT_EQ(dialog.log.back(), "destroy");

    // And it can be made again.
    ASSERT_TRUE(dialog.Create());
    dialog.DestroyWindow();
    EXPECT_FALSE(dialog.HasWindow());
}

// A child panel of IDD_TEST_PANEL that records its commands.
class PanelDialog : public os::Dialog {
  public:
    PanelDialog(os::Ui& ui, os::Dialog* parent, bool white)
        : os::Dialog(ui, IDD_TEST_PANEL, parent), m_bWhite(white) {}
    bool OnCommand(int id) override {
        commands.push_back(id);
        return true;
    }
    bool HasWhiteBackground() const override { return m_bWhite; }
    std::vector<int> commands;

  private:
    bool m_bWhite;
};

TEST_F(Win32DialogWindowTest, ChildPanelWithAnAutomaticCheckBoxOnWhite) {
    ScriptedDialog host(ui);
    ASSERT_TRUE(host.Create());
    PanelDialog white(ui, &host, true);
    PanelDialog plain(ui, &host, false);
    ASSERT_TRUE(white.Create());
    ASSERT_TRUE(plain.Create());
    HWND panel = Win32DialogWindow::HandleOf(&white);
    EXPECT_EQ(GetParent(panel), host.Hwnd());
    EXPECT_NE(GetWindowLongW(panel, GWL_STYLE) & WS_CHILD, 0);

    os::DialogWindow& window = white.Window();
    EXPECT_FALSE(window.GetCheck(IDC_TEST_CHECK));
    window.SetCheck(IDC_TEST_CHECK, true);
    EXPECT_TRUE(window.GetCheck(IDC_TEST_CHECK));
    // A click toggles the box by itself and reaches the panel's OnCommand.
    SendDlgItemMessageW(panel, IDC_TEST_CHECK, BM_CLICK, 0, 0);
    EXPECT_FALSE(window.GetCheck(IDC_TEST_CHECK));
    EXPECT_EQ(white.commands, (std::vector<int>{IDC_TEST_CHECK}));

    // The white panel and its controls are painted on the stock white brush.
    const auto brush = reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    HWND check = GetDlgItem(panel, IDC_TEST_CHECK);
    HDC dc = GetDC(panel);
    SetBkColor(dc, RGB(1, 2, 3));
    EXPECT_EQ(SendMessageW(panel, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(panel)),
              brush);
    EXPECT_EQ(SendMessageW(panel, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(check)),
              brush);
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    HWND other = Win32DialogWindow::HandleOf(&plain);
    EXPECT_NE(SendMessageW(other, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(other)),
              brush);
    ReleaseDC(panel, dc);

    // The panel goes with its parent.
    host.DestroyWindow();
    EXPECT_FALSE(white.HasWindow());
}

TEST_F(Win32DialogWindowTest, PumpLeavesQuitForTheOwnerOfTheLoop) {
    ui.PostQuit(5);
    ui.PumpMessages();
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(Win32DialogWindowTest, DestroyingTheDialogObjectClosesItsWindow) {
    HWND hwnd = nullptr;
    {
        ScriptedDialog dialog(ui);
        ASSERT_TRUE(dialog.Create());
        hwnd = dialog.Hwnd();
        ASSERT_TRUE(IsWindow(hwnd));
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(Win32DialogWindowTest, ControlsCaptionAndSystemMenu) {
    ScriptedDialog dialog(ui);
    ASSERT_TRUE(dialog.Create());
    HWND hwnd = dialog.Hwnd();
    os::DialogWindow& window = dialog.Window();

    window.SetItemText(IDC_TEST_EDIT, u"引越先のフォルダ");
    EXPECT_EQ(window.GetItemText(IDC_TEST_EDIT), u"引越先のフォルダ");
    EXPECT_EQ(window.GetItemText(IDC_TEST_BUTTON), u"押す");  // from the UTF-8 template
    EXPECT_EQ(window.GetItemText(12345), u"");

    window.EnableItem(IDC_TEST_BUTTON, false);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hwnd, IDC_TEST_BUTTON)));
    window.EnableItem(IDC_TEST_BUTTON, true);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hwnd, IDC_TEST_BUTTON)));
    ShowWindow(hwnd, SW_SHOWNA);
    window.ShowItem(IDC_TEST_EDIT, false);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(hwnd, IDC_TEST_EDIT)));
    window.ShowItem(IDC_TEST_EDIT, true);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(hwnd, IDC_TEST_EDIT)));

    EXPECT_EQ(window.GetCaption(), u"テスト");
    window.SetCaption(u"ソラノワ Basic");
    EXPECT_EQ(window.GetCaption(), u"ソラノワ Basic");

    window.Enable(false);
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    window.Enable(true);

    const os::Rect client = window.ClientRect();
    EXPECT_EQ(client.left, 0);
    EXPECT_GT(client.right, 0);
    EXPECT_GT(client.bottom, 0);

    HMENU menu = GetSystemMenu(hwnd, FALSE);
    const int before = GetMenuItemCount(menu);
    window.AppendSystemMenu(0x0010, u"バージョン情報(&A)...");
    ASSERT_EQ(GetMenuItemCount(menu), before + 2);
    EXPECT_EQ(GetMenuItemID(menu, before + 1), 0x0010u);
    wchar_t text[64] = {};
    GetMenuStringW(menu, 0x0010, text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(text, L"バージョン情報(&A)...");
    MENUITEMINFOW separator{};
    separator.cbSize = sizeof(separator);
    separator.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoW(menu, before, TRUE, &separator));
    EXPECT_NE(separator.fType & MFT_SEPARATOR, 0u);
    dialog.DestroyWindow();
}

TEST_F(Win32DialogWindowTest, SortedListBoxRows) {
    ScriptedDialog dialog(ui);
    ASSERT_TRUE(dialog.Create());
    os::DialogWindow& window = dialog.Window();
    EXPECT_EQ(window.ListGetCount(IDC_TEST_LIST), 0);
    EXPECT_EQ(window.ListGetCurSel(IDC_TEST_LIST), -1);
    // A sorted list box places each row by its text and says where.
    EXPECT_EQ(window.ListAddString(IDC_TEST_LIST, u"PC-B"), 0);
    EXPECT_EQ(window.ListAddString(IDC_TEST_LIST, u"PC-A"), 0);
    EXPECT_EQ(window.ListAddString(IDC_TEST_LIST, u"引越先"), 2);
    EXPECT_EQ(window.ListGetCount(IDC_TEST_LIST), 3);
    EXPECT_EQ(window.ListGetText(IDC_TEST_LIST, 1), u"PC-B");
    EXPECT_EQ(window.ListGetText(IDC_TEST_LIST, 2), u"引越先");
    EXPECT_EQ(window.ListGetText(IDC_TEST_LIST, 7), u"");
    window.ListSetCurSel(IDC_TEST_LIST, 1);
    EXPECT_EQ(window.ListGetCurSel(IDC_TEST_LIST), 1);
    window.ListResetContent(IDC_TEST_LIST);
    EXPECT_EQ(window.ListGetCount(IDC_TEST_LIST), 0);
    EXPECT_EQ(window.ListGetCurSel(IDC_TEST_LIST), -1);
    dialog.DestroyWindow();
}

TEST_F(Win32DialogWindowTest, ProgressBarsTakeThirtyTwoBitRanges) {
    ScriptedDialog dialog(ui);
    ASSERT_TRUE(dialog.Create());
    os::DialogWindow& window = dialog.Window();
    // File sizes in KB overflow the classic 16-bit range.
    window.SetProgressRange(IDC_TEST_PROGRESS, 0, 3000000);
    EXPECT_EQ(window.GetProgressUpper(IDC_TEST_PROGRESS), 3000000);
    window.SetProgressPos(IDC_TEST_PROGRESS, 2500000);
    EXPECT_EQ(SendDlgItemMessageW(dialog.Hwnd(), IDC_TEST_PROGRESS, PBM_GETPOS, 0, 0), 2500000);
    dialog.DestroyWindow();
}

TEST_F(Win32DialogWindowTest, IconsBigAndSmallComeFromTheResource) {
    ScriptedDialog dialog(ui);
    ASSERT_TRUE(dialog.Create());
    dialog.Window().SetIcon(IDI_TEST_ICON);
    HWND hwnd = dialog.Hwnd();
    for (const auto& [which, size] : {std::pair{ICON_BIG, GetSystemMetrics(SM_CXICON)},
                                      std::pair{ICON_SMALL, GetSystemMetrics(SM_CXSMICON)}}) {
        SCOPED_TRACE(which);
        auto icon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, which, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap{};
        GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    dialog.DestroyWindow();
}

TEST_F(Win32DialogWindowTest, ChildDialogsAreOwnedByTheirParent) {
    ScriptedDialog parent(ui);
    ASSERT_TRUE(parent.Create());
    ScriptedDialog child(ui, &parent);
    HWND owner = nullptr;
    child.onInit = [&] {
        owner = GetWindow(child.Hwnd(), GW_OWNER);
        child.EndDialog(0);
    };
    child.DoModal();
    EXPECT_EQ(owner, parent.Hwnd());
    parent.DestroyWindow();
}

TEST_F(Win32DialogWindowTest, CallsWithoutAWindowDoNothing) {
    ScriptedDialog dialog(ui);
    os::DialogWindow& window = dialog.Window();
    EXPECT_FALSE(window.Exists());
    window.SetCaption(u"x");
    window.SetTimer(1, 10);
    window.Post(1, 1);
    EXPECT_EQ(window.Send(1, 1), 0);
    EXPECT_EQ(window.GetCaption(), u"");
    EXPECT_EQ(window.DirectCanvas(), nullptr);
    EXPECT_TRUE(dialog.log.empty());
}

}  // namespace
