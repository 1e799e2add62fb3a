// winprobe.exe: lets the end-to-end scripts read what X cannot tell them about a window of
// tandrix.exe, and show its templates for screenshots.
//   winprobe messagebox TITLE       prints the text of the message box titled exactly TITLE
//   winprobe painted TITLE          prints "x y" of the screen point where the client area of
//                                   the visible 600 x 400 painted window titled TITLE begins
//   winprobe show EXE ID SECONDS    shows dialog template ID of EXE, empty, for SECONDS
// Each exits 0 on success and 1 when there is no such window or template.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string ToUtf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

// The static control holding a message box's text has id 0xFFFF.
constexpr int kMessageBoxTextId = 0xFFFF;

int MessageBoxText(const wchar_t* title) {
    HWND box = FindWindowW(L"#32770", title);
    if (!box) {
        return 1;
    }
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, kMessageBoxTextId, text, 1024);
    std::fputs(ToUtf8(text).c_str(), stdout);
    std::fputs("\n", stdout);
    return 0;
}

struct Search {
    const wchar_t* title;
    HWND found;
};

int PaintedWindow(const wchar_t* title) {
    Search search{title, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t text[256] = {};
            GetWindowTextW(hwnd, text, 256);
            RECT client{};
            GetClientRect(hwnd, &client);
            if (IsWindowVisible(hwnd) && std::wcscmp(text, s->title) == 0 && client.right == 600 &&
                client.bottom == 400) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        return 1;
    }
    POINT origin{0, 0};
    ClientToScreen(search.found, &origin);
    std::printf("%ld %ld\n", origin.x, origin.y);
    return 0;
}

int ShowTemplate(const wchar_t* exe, int id, int seconds) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    HMODULE module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC info = module ? FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG) : nullptr;
    if (!info) {
        return 1;
    }
    auto* tmpl = static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(module, info)));
    HWND hwnd = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), tmpl, nullptr,
        [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR { return message == WM_INITDIALOG; }, 0);
    if (!hwnd) {
        return 1;
    }
    ShowWindow(hwnd, SW_SHOW);
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageW(hwnd, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        Sleep(20);
    }
    DestroyWindow(hwnd);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"messagebox" && argc == 3) {
        return MessageBoxText(argv[2]);
    }
    if (command == L"painted" && argc == 3) {
        return PaintedWindow(argv[2]);
    }
    if (command == L"show" && argc == 5) {
        return ShowTemplate(argv[2], _wtoi(argv[3]), _wtoi(argv[4]));
    }
    std::fprintf(stderr,
                 "usage: winprobe messagebox TITLE | painted TITLE | show EXE ID SECONDS\n");
    return 2;
}
