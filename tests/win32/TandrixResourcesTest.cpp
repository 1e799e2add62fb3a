// The resources built into tandrix.exe (next to this test program): icon sizes, manifest,
// and the templates as Windows reads them, Japanese text included.
#include "os/win32/WinApi.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "os/Text.h"
#include "os/win32/WinText.h"
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
    HWND CreateFromTemplate(int id) {
        const std::string tmpl = Resource(RT_DIALOG, id);
        if (tmpl.empty()) {
            return nullptr;
        }
        return CreateDialogIndirectParamW(
            GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(tmpl.data()), nullptr,
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
