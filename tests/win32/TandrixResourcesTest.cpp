// The resources built into tandrix.exe (next to this test program): icon sizes, manifest,
// and the templates as Windows reads them, Japanese text included.
#include "os/win32/WinApi.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "modes/EnvItems.h"
#include "os/Text.h"
#include "os/win32/WinText.h"
#include "platform/Texts.h"
#include "resource.h"

namespace {

class TandrixResourcesTest : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring exe(path);
        exe = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"tandrix.exe";
        m_hExe = LoadLibraryExW(exe.c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(m_hExe, nullptr) << "tandrix.exe must lie beside the test program";
    }
    void TearDown() override {
        if (m_hExe) {
            FreeLibrary(m_hExe);
        }
    }

    std::string Resource(const wchar_t* type, int id) {
        HRSRC info = FindResourceW(m_hExe, MAKEINTRESOURCEW(id), type);
        if (!info) {
            return {};
        }
        HGLOBAL data = LoadResource(m_hExe, info);
        return std::string(static_cast<const char*>(LockResource(data)),
                           SizeofResource(m_hExe, info));
    }

    // A window from one of tandrix.exe's dialog templates, hidden, with no handlers.
    HWND CreateFromTemplate(int id, HWND parent = nullptr) {
        const std::string tmpl = Resource(RT_DIALOG, id);
        if (tmpl.empty()) {
            return nullptr;
        }
        return CreateDialogIndirectParamW(
            GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(tmpl.data()), parent,
            [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR { return message == WM_INITDIALOG; },
            0);
    }

    static os::WString Text(HWND hwnd) {
        wchar_t text[256] = {};
        GetWindowTextW(hwnd, text, 256);
        return os::win32::FromW(text);
    }

    HMODULE m_hExe = nullptr;
};

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(TandrixResourcesTest, IconHasThreeSizesInFullColour) {
    const std::string group = Resource(RT_GROUP_ICON, IDR_MAINFRAME);
    ASSERT_GE(group.size(), 6u);
    const auto count = *reinterpret_cast<const WORD*>(group.data() + 4);
    ASSERT_EQ(group.size(), 6 + count * sizeof(GroupIconEntry));
    std::set<int> sizes;
    for (int i = 0; i < count; ++i) {
        const auto* entry =
            reinterpret_cast<const GroupIconEntry*>(group.data() + 6 + i * sizeof(GroupIconEntry));
        EXPECT_EQ(entry->bits, 32);
        sizes.insert(entry->width);
        // Each image: a BITMAPINFOHEADER of twice the height (colour plus mask).
        const std::string image = Resource(RT_ICON, entry->id);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
        EXPECT_EQ(header->biWidth, entry->width);
        EXPECT_EQ(header->biHeight, 2 * entry->height);
        const size_t mask = ((entry->width + 31) / 32 * 4) * entry->height;
        EXPECT_EQ(image.size(), 40 + entry->width * entry->height * 4u + mask);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32, 48}));
}

TEST_F(TandrixResourcesTest, ManifestAsksForAdministratorAndNamesWindows7To10) {
    const std::string manifest = Resource(RT_MANIFEST, 1);
    ASSERT_FALSE(manifest.empty());
    for (const char* needle : {
             "level=\"requireAdministrator\"",
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10
             "Microsoft.Windows.Common-Controls",
         }) {
        EXPECT_NE(manifest.find(needle), std::string::npos) << needle;
    }
}

TEST_F(TandrixResourcesTest, EveryBitmapLoadsAsTwentyFourBitColour) {
    std::vector<int> ids;
    EnumResourceNamesW(
        m_hExe, RT_BITMAP,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) -> BOOL {
            if (IS_INTRESOURCE(name)) {
                reinterpret_cast<std::vector<int>*>(list)->push_back(
                    static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
            }
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&ids));
    ASSERT_FALSE(ids.empty());
    for (int id : ids) {
        SCOPED_TRACE(id);
        HBITMAP bitmap = LoadBitmapW(m_hExe, MAKEINTRESOURCEW(id));
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        GetObjectW(bitmap, sizeof(info), &info);
        EXPECT_GT(info.bmWidth, 0);
        EXPECT_GT(info.bmHeight, 0);
        DeleteObject(bitmap);
        const std::string raw = Resource(RT_BITMAP, id);
        ASSERT_GE(raw.size(), sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(reinterpret_cast<const BITMAPINFOHEADER*>(raw.data())->biBitCount, 24);
    }
}

TEST_F(TandrixResourcesTest, MainDialogIsAFixedSizeCaptionedWindow) {
    HWND hwnd = CreateFromTemplate(IDD_TANDRIX_DIALOG);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(Text(hwnd), u"APPLICATION_NAME");
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    // The program paints 600 x 400 pixels. The template's font sets the dialog units; the
    // stand-in for ＭＳ Ｐゴシック under Wine has its widths but a line one pixel taller.
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_NEAR(client.right, 600, 2);
    EXPECT_GE(client.bottom, 400);
    EXPECT_LE(client.bottom, 440);
    DestroyWindow(hwnd);
}

TEST_F(TandrixResourcesTest, AboutBoxTextsAreJapanese) {
    HWND hwnd = CreateFromTemplate(IDD_ABOUTBOX);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(Text(hwnd), u"APPLICATION_NAMEのバージョン情報");
    EXPECT_EQ(Text(GetDlgItem(hwnd, IDC_ABOUT_VERSION)), u"ソラノワ Basic Version 6.0");
    EXPECT_EQ(Text(GetDlgItem(hwnd, IDOK)), u"OK");
    DestroyWindow(hwnd);
}

}  // namespace

namespace {

// One control of a template as the description of the window gives it: dialog units, class,
// text, and style bits it must have.
struct ControlRow {
    int id;
    const wchar_t* className;
    int x, y, width, height;
    const char16_t* text;
    LONG style;
};

class TemplateLayoutTest : public TandrixResourcesTest {
  protected:
    // Every row's control exists with its class, text, styles and rectangle.
    void ExpectControls(HWND dialog, const std::vector<ControlRow>& rows) {
        for (const ControlRow& row : rows) {
            SCOPED_TRACE(row.id);
            HWND item = GetDlgItem(dialog, row.id);
            ASSERT_NE(item, nullptr);
            wchar_t className[64] = {};
            GetClassNameW(item, className, 64);
            EXPECT_EQ(_wcsicmp(className, row.className), 0)
                << os::ToUtf8(os::win32::FromW(className));
            if (row.text) {
                EXPECT_EQ(Text(item), row.text);
            }
            EXPECT_EQ(GetWindowLongW(item, GWL_STYLE) & row.style, row.style);
            // The dialog manager maps the position and the size each on its own.
            RECT position{row.x, row.y, 0, 0};
            RECT size{0, 0, row.width, row.height};
            MapDialogRect(dialog, &position);
            MapDialogRect(dialog, &size);
            const RECT actual = RectIn(item, dialog);
            EXPECT_EQ(actual.left, position.left);
            EXPECT_EQ(actual.top, position.top);
            EXPECT_EQ(actual.right - actual.left, size.right);
            if (_wcsicmp(row.className, L"ListBox") == 0) {
                // Without LBS_NOINTEGRALHEIGHT a list box shows whole rows only.
                EXPECT_LE(actual.bottom - actual.top, size.bottom);
                EXPECT_GT(actual.bottom - actual.top, size.bottom * 3 / 4);
            } else {
                EXPECT_EQ(actual.bottom - actual.top, size.bottom);
            }
        }
    }

    // The window's rectangle in the client coordinates of `parent`.
    static RECT RectIn(HWND window, HWND parent) {
        RECT r{};
        GetWindowRect(window, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    // The client size of a template in dialog units, mapped to pixels by its own font.
    static void ExpectClientUnits(HWND dialog, int width, int height) {
        RECT expected{0, 0, width, height};
        MapDialogRect(dialog, &expected);
        RECT client{};
        GetClientRect(dialog, &client);
        EXPECT_NEAR(client.right, expected.right, 1);
        EXPECT_NEAR(client.bottom, expected.bottom, 1);
    }
};

TEST_F(TemplateLayoutTest, ProgressDialogIsACaptionedPopupWithoutCloseBox) {
    HWND hwnd = CreateFromTemplate(IDD_PROGRESS);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(Text(hwnd), u"データ転送中．．．");
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_VISIBLE), WS_POPUP | WS_CAPTION | WS_VISIBLE);
    EXPECT_EQ(style & WS_SYSMENU, 0);
    ExpectClientUnits(hwnd, 203, 139);
    ExpectControls(
        hwnd,
        {
            {IDC_PROGRESS_OVERALL, PROGRESS_CLASSW, 7, 6, 189, 11, nullptr, 0},
            {IDC_PROGRESS_STATUS, L"Static", 7, 20, 66, 8, u"データ転送中", 0},
            {IDC_PROGRESS_PERCENT, L"Static", 77, 20, 46, 10, u"全体：0%", SS_RIGHT},
            {IDC_PROGRESS_FILE, PROGRESS_CLASSW, 7, 38, 189, 11, nullptr, 0},
            {IDC_PROGRESS_FILENAME, L"Static", 7, 52, 189, 29, u"データ転送中のファイル名：",
             SS_NOPREFIX},
            {IDC_PROGRESS_NOTE, L"Static", 7, 89, 189, 17,
             u"OSや他ソフトが使用しているファイルや読み取り権のないファイルは自動的にスキップされ"
             u"ます",
             0},
            {IDC_PROGRESS_STOP, L"Button", 63, 116, 81, 16, u"データ転送を中止する", 0},
        });
    DestroyWindow(hwnd);
}

TEST_F(TemplateLayoutTest, DriveChoiceHasItsTextsAndASortedList) {
    HWND hwnd = CreateFromTemplate(IDD_DRIVE);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(Text(hwnd), u"ドライブ選択");
    ExpectControls(hwnd,
                   {
                       {IDC_DRIVE_LIST, L"ListBox", 7, 39, 151, 56, nullptr, LBS_SORT | LBS_NOTIFY},
                       {IDOK, L"Button", 75, 101, 50, 14, u"OK", BS_DEFPUSHBUTTON},
                       {IDCANCEL, L"Button", 129, 101, 50, 14, u"ｷｬﾝｾﾙ", 0},
                   });
    // The two statics carry no id of their own: find them by their text.
    std::vector<std::pair<os::WString, POINT>> statics;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) == -1 || GetDlgCtrlID(child) == 0xFFFF) {
            RECT r{};
            GetWindowRect(child, &r);
            MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
            statics.push_back({Text(child), POINT{r.left, r.top}});
        }
    }
    RECT first{7, 7, 0, 0}, second{7, 23, 0, 0};
    MapDialogRect(hwnd, &first);
    MapDialogRect(hwnd, &second);
    ASSERT_EQ(statics.size(), 2u);
    EXPECT_EQ(statics[0].first, u"接続先のパソコン上のコピー先を選択してください。");
    EXPECT_EQ(statics[0].second.x, first.left);
    EXPECT_EQ(statics[0].second.y, first.top);
    EXPECT_EQ(statics[1].first, u"コピー先には十分な空き容量が必要です。");
    EXPECT_EQ(statics[1].second.y, second.top);
    // Added in any order, the rows come out sorted; more rows than fit bring a scroll bar.
    HWND list = GetDlgItem(hwnd, IDC_DRIVE_LIST);
    for (const wchar_t* row : {L"E:    総容量：2000 MB", L"C:    総容量：500 MB"}) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
    }
    wchar_t top[64] = {};
    SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(top));
    EXPECT_EQ(os::win32::FromW(top), u"C:    総容量：500 MB");
    for (wchar_t letter = L'F'; letter <= L'Z'; ++letter) {
        const std::wstring row = std::wstring(1, letter) + L":    総容量：100 MB";
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    }
    EXPECT_NE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL, 0);
    DestroyWindow(hwnd);
}

TEST_F(TemplateLayoutTest, RoleSearchingAndPartnerDialogs) {
    HWND role = CreateFromTemplate(IDD_IPNUMBER);
    ASSERT_NE(role, nullptr);
    EXPECT_EQ(Text(role), u"APPLICATION_NAME");
    EXPECT_EQ(GetWindow(role, GW_CHILD), nullptr) << "painted, no controls";
    EXPECT_NE(GetWindowLongW(role, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    DestroyWindow(role);

    HWND find = CreateFromTemplate(IDD_FINDCANCEL);
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(Text(find), u"APPLICATION_NAME");
    EXPECT_NE(GetWindowLongW(find, GWL_STYLE) & WS_VISIBLE, 0) << "modeless, shown at once";
    EXPECT_EQ(Text(GetDlgItem(find, IDC_FIND_CANCEL)), u"ｷｬﾝｾﾙ");
    std::vector<os::WString> texts;
    for (HWND child = GetWindow(find, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        texts.push_back(Text(child));
    }
    EXPECT_EQ(texts, (std::vector<os::WString>{u"もうひとつのパソコンを探しています...",
                                               u"中断する場合はキャンセルをクリックしてください",
                                               u"ｷｬﾝｾﾙ"}));
    DestroyWindow(find);

    HWND partner = CreateFromTemplate(IDD_PARTNER);
    ASSERT_NE(partner, nullptr);
    EXPECT_EQ(Text(partner), u"APPLICATION_NAME");
    ExpectControls(
        partner,
        {
            {IDC_PARTNER_FOUND, L"ListBox", 7, 30, 246, 58, nullptr, LBS_NOTIFY | WS_TABSTOP},
            {IDC_PARTNER_NAME, L"Edit", 7, 106, 190, 14, u"", ES_AUTOHSCROLL},
            {IDC_PARTNER_BROWSE, L"Button", 203, 106, 50, 14, u"参照...", 0},
            {IDOK, L"Button", 147, 127, 50, 14, u"OK", BS_DEFPUSHBUTTON},
            {IDCANCEL, L"Button", 203, 127, 50, 14, u"ｷｬﾝｾﾙ", 0},
            {IDC_PARTNER_FIREWALL_HINT, L"Static", 7, 148, 246, 18, u"", SS_NOPREFIX},
        });
    // The name field is first in the tab order, so it has the focus when the dialog opens.
    HWND first = GetWindow(partner, GW_CHILD);
    while (first && (GetWindowLongW(first, GWL_STYLE) & WS_TABSTOP) == 0) {
        first = GetWindow(first, GW_HWNDNEXT);
    }
    EXPECT_EQ(first, GetDlgItem(partner, IDC_PARTNER_NAME));
    // The firewall hint, in the dialog's font and wrapped as the static wraps it, fits in its
    // lines, and they fit in the dialog.
    ExpectClientUnits(partner, 260, 173);
    HWND hint = GetDlgItem(partner, IDC_PARTNER_FIREWALL_HINT);
    const RECT hintRect = RectIn(hint, partner);
    RECT needed{0, 0, hintRect.right - hintRect.left, 0};
    HDC dc = GetDC(hint);
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hint, WM_GETFONT, 0, 0)));
    const os::WString hintText = texts::kFirewallHint;
    DrawTextW(dc, os::win32::W(hintText), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    ReleaseDC(hint, dc);
    EXPECT_LE(needed.right, hintRect.right - hintRect.left);
    EXPECT_LE(needed.bottom, hintRect.bottom - hintRect.top);
    DestroyWindow(partner);
}

TEST_F(TemplateLayoutTest, EnvironmentListWithItsPanelOfCheckBoxes) {
    HWND list = CreateFromTemplate(IDD_ENVLIST);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Text(list), u"APPLICATION_NAME");
    EXPECT_NE(GetWindowLongW(list, GWL_STYLE) & WS_CLIPCHILDREN, 0)
        << "the panel is not painted over";
    ExpectClientUnits(list, 343, 267);
    const struct {
        int id;
        const char16_t* text;
    } buttons[] = {{IDC_ENV_RUN, u"実行"},
                   {IDCANCEL, u"キャンセル"},
                   {IDC_ENV_RUN_ALL, u"すべて実行"},
                   {IDC_ENV_ALLOFF, u"ALLOFF"},
                   {IDC_ENV_ALLON, u"ALLON"}};
    for (const auto& button : buttons) {
        HWND item = GetDlgItem(list, button.id);
        ASSERT_NE(item, nullptr) << button.id;
        EXPECT_EQ(Text(item), button.text);
        EXPECT_EQ(GetWindowLongW(item, GWL_STYLE) & WS_VISIBLE, 0) << button.id;
    }

    HWND panel = CreateFromTemplate(IDD_ENVLISTCHKS, list);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(GetParent(panel), list);
    EXPECT_NE(GetWindowLongW(panel, GWL_STYLE) & WS_CHILD, 0);
    RECT at{16, 49, 213, 211};
    MapDialogRect(panel, &at);
    const RECT actual = RectIn(panel, list);
    EXPECT_EQ(actual.left, at.left);
    EXPECT_EQ(actual.top, at.top);
    EXPECT_EQ(actual.right - actual.left, at.right);
    EXPECT_EQ(actual.bottom - actual.top, at.bottom);

    // One automatic check box per item of the table with its caption; only the shown items
    // are visible.
    for (const env::Item& item : env::kItems) {
        SCOPED_TRACE(item.controlId);
        HWND box = GetDlgItem(panel, item.controlId);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Text(box), item.caption);
        const LONG style = GetWindowLongW(box, GWL_STYLE);
        EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX);
        EXPECT_EQ((style & WS_VISIBLE) != 0, item.shown);
    }
    ExpectControls(panel, {
                              {IDC_ENV_MYDOC, L"Button", 8, 14, 72, 10, nullptr, WS_VISIBLE},
                              {IDC_ENV_MYPIC, L"Button", 8, 28, 72, 10, nullptr, WS_VISIBLE},
                              {IDC_ENV_MYVIDEO, L"Button", 8, 42, 72, 10, nullptr, WS_VISIBLE},
                              {IDC_ENV_MYMUSIC, L"Button", 8, 56, 72, 10, nullptr, WS_VISIBLE},
                              {IDC_ENV_ITUNES, L"Button", 83, 57, 72, 10, nullptr, 0},
                              {IDC_ENV_DESKTOP, L"Button", 8, 88, 72, 10, nullptr, WS_VISIBLE},
                              {IDC_ENV_WALLPAPER, L"Button", 82, 89, 72, 10, nullptr, 0},
                          });
    // The group boxes: two shown, the other five hidden.
    std::vector<os::WString> shown;
    std::vector<os::WString> hidden;
    for (HWND child = GetWindow(panel, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) {
            ((GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) ? shown : hidden)
                .push_back(Text(child));
        }
    }
    EXPECT_EQ(shown, (std::vector<os::WString>{u"フォルダ", u"デスクトップ"}));
    EXPECT_EQ(hidden,
              (std::vector<os::WString>{u"Internet Explorer", u"Firefox",
                                        u"Outlook Express / Windows メール / Windows Live メール",
                                        u"Microsoft Outlook", u"Edge"}));
    DestroyWindow(list);
}

}  // namespace
