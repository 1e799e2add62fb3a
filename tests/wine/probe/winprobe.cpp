// winprobe.exe: lets the end-to-end scripts read what X cannot tell them about a window of
// tandrix.exe, and show its templates for screenshots.
//   winprobe messagebox TITLE       prints the text of the message box titled exactly TITLE
//   winprobe painted TITLE          prints "x y" of the screen point where the client area of
//                                   the visible 600 x 400 painted window titled TITLE begins
//   winprobe show EXE ID SECONDS    shows dialog template ID of EXE, empty, for SECONDS
//   winprobe move TITLE X Y         moves that painted window so that its frame starts at X, Y
//   winprobe listbox TITLE ID       prints the rows of list box ID in the topmost dialog titled
//                                   TITLE that has one, one a line, the selected row marked "* "
//   winprobe listrow TITLE ID INDEX prints "x y" of the screen point at the middle of row
//                                   INDEX of that list box
//   winprobe control TITLE ID       prints "x y enabled checked" of control ID anywhere inside the
//                                   visible painted window titled TITLE (a child panel's too):
//                                   the screen point of its centre, then 1 or 0 for each state
//   winprobe attrs PATH...          prints the attributes of each PATH as "0xHEX PATH"
//   winprobe record FILE TEXT       appends TEXT and a line end to FILE (UTF-8): a stand-in
//                                   for the program a file type or URL opens with
// Each exits 0 on success and 1 when there is no such window, template or file.
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

// The topmost visible dialog titled `title` that has a control `id` (the main window, the
// file-list dialog and message boxes share the product title).
HWND FindDialogWith(const wchar_t* title, int id) {
    struct Match {
        const wchar_t* title;
        int id;
        HWND found;
    } match{title, id, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* m = reinterpret_cast<Match*>(param);
            wchar_t text[256] = {};
            wchar_t cls[16] = {};
            GetWindowTextW(hwnd, text, 256);
            GetClassNameW(hwnd, cls, 16);
            if (IsWindowVisible(hwnd) && std::wcscmp(cls, L"#32770") == 0 &&
                std::wcscmp(text, m->title) == 0 && GetDlgItem(hwnd, m->id)) {
                m->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&match));
    return match.found;
}

int MessageBoxText(const wchar_t* title) {
    HWND box = FindDialogWith(title, kMessageBoxTextId);
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

HWND FindPainted(const wchar_t* title) {
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
    return search.found;
}

int PaintedWindow(const wchar_t* title) {
    HWND found = FindPainted(title);
    if (!found) {
        return 1;
    }
    POINT origin{0, 0};
    ClientToScreen(found, &origin);
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

int MoveWindowTo(const wchar_t* title, int x, int y) {
    HWND found = FindPainted(title);
    if (!found) {
        return 1;
    }
    return SetWindowPos(found, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) ? 0
                                                                                                : 1;
}

int ListBoxRows(const wchar_t* title, int id) {
    HWND dialog = FindDialogWith(title, id);
    HWND list = dialog ? GetDlgItem(dialog, id) : nullptr;
    if (!list) {
        return 1;
    }
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring row(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(row.data()));
        row.resize(std::wcslen(row.c_str()));
        std::printf("%s%s\n", i == selected ? "* " : "", ToUtf8(row).c_str());
    }
    return 0;
}

struct ControlSearch {
    int id;
    HWND found;
};

int ControlState(const wchar_t* title, int id) {
    HWND window = FindPainted(title);
    if (!window) {
        return 1;
    }
    ControlSearch search{id, nullptr};
    // Every descendant, so that the controls of a child panel are found too.
    EnumChildWindows(
        window,
        [](HWND child, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<ControlSearch*>(param);
            if (GetDlgCtrlID(child) == s->id) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        return 1;
    }
    RECT r{};
    GetWindowRect(search.found, &r);
    const bool checked = SendMessageW(search.found, BM_GETCHECK, 0, 0) == BST_CHECKED;
    std::printf("%ld %ld %d %d\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2,
                IsWindowEnabled(search.found) ? 1 : 0, checked ? 1 : 0);
    return 0;
}

int ListRowPoint(const wchar_t* title, int id, int index) {
    HWND dialog = FindDialogWith(title, id);
    HWND list = dialog ? GetDlgItem(dialog, id) : nullptr;
    RECT row{};
    if (!list || SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                              reinterpret_cast<LPARAM>(&row)) == LB_ERR) {
        return 1;
    }
    POINT centre{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
    ClientToScreen(list, &centre);
    std::printf("%ld %ld\n", centre.x, centre.y);
    return 0;
}

int Attributes(int count, wchar_t** paths) {
    int result = 0;
    for (int i = 0; i < count; ++i) {
        const DWORD attributes = GetFileAttributesW(paths[i]);
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            std::printf("missing %s\n", ToUtf8(paths[i]).c_str());
            result = 1;
        } else {
            std::printf("0x%lx %s\n", static_cast<unsigned long>(attributes),
                        ToUtf8(paths[i]).c_str());
        }
    }
    return result;
}

int Record(const wchar_t* file, const wchar_t* text) {
    HANDLE h = CreateFileW(file, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return 1;
    }
    const std::string line = ToUtf8(text) + "\n";
    DWORD written = 0;
    const BOOL ok = WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == line.size() ? 0 : 1;
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
    if (command == L"move" && argc == 5) {
        return MoveWindowTo(argv[2], _wtoi(argv[3]), _wtoi(argv[4]));
    }
    if (command == L"listbox" && argc == 4) {
        return ListBoxRows(argv[2], _wtoi(argv[3]));
    }
    if (command == L"control" && argc == 4) {
        return ControlState(argv[2], _wtoi(argv[3]));
    }
    if (command == L"listrow" && argc == 5) {
        return ListRowPoint(argv[2], _wtoi(argv[3]), _wtoi(argv[4]));
    }
    if (command == L"attrs" && argc >= 3) {
        return Attributes(argc - 2, argv + 2);
    }
    if (command == L"record" && argc == 4) {
        return Record(argv[2], argv[3]);
    }
    std::fprintf(stderr,
                 "usage: winprobe messagebox TITLE | painted TITLE | show EXE ID SECONDS |\n"
                 "       move TITLE X Y | listbox TITLE ID | listrow TITLE ID INDEX |\n"
                 "       control TITLE ID | attrs PATH... | record FILE TEXT\n");
    return 2;
}
