// winprobe.exe: lets the end-to-end scripts read what X cannot tell them about a window of
// tandrix.exe. `winprobe messagebox TITLE` prints the text of the message box with exactly
// that title (UTF-8) and exits 0, or exits 1 when there is none.
#include <windows.h>

#include <cstdio>
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3 || std::wstring(argv[1]) != L"messagebox") {
        std::fprintf(stderr, "usage: winprobe messagebox TITLE\n");
        return 2;
    }
    HWND box = FindWindowW(L"#32770", argv[2]);
    if (!box) {
        return 1;
    }
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, kMessageBoxTextId, text, 1024);
    std::fputs(ToUtf8(text).c_str(), stdout);
    std::fputs("\n", stdout);
    return 0;
}
