// showdialog.exe: a dialog of the program on the real dialog host, with tandrix.exe's own
// templates and bitmaps, for the end-to-end scripts' screenshots and clicks.
//   showdialog envlist [CODE]   the environment list with this PC's folders and version, the
//                               partner's version code CODE (default 0x800, Windows 10); when
//                               it ends prints "result N" and a line "KEY 0|1" per run flag,
//                               and exits with N
#include "os/win32/WinApi.h"

#include <commctrl.h>

#include <cstdio>
#include <cwchar>

#include "modes/DlgEnvList.h"
#include "os/Platform.h"
#include "os/Text.h"
#include "os/win32/Win32FileSystem.h"
#include "os/win32/Win32Net.h"
#include "os/win32/Win32Shell.h"
#include "os/win32/Win32System.h"
#include "os/win32/Win32Ui.h"
#include "platform/FolderPathInfo.h"

namespace {

int ShowEnvList(os::Platform& platform, uint32_t remoteOs) {
    CFolderPathInfo folders(platform.sys);
    CDlgEnvList dialog(platform, nullptr);
    dialog.ReadFacts(folders, platform.fs, folders.OSVersion(), remoteOs);
    const int result = dialog.DoModal();
    std::printf("result %d\n", result);
    for (size_t i = 0; i < env::kItemCount; ++i) {
        std::printf("%s %d\n", os::ToUtf8(dialog.m_sKeys[i]).c_str(),
                    dialog.m_bRunFlags[i] ? 1 : 0);
    }
    std::fflush(stdout);
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    os::win32::Win32FileSystem fs;
    os::win32::Win32System sys;
    os::win32::Win32Shell shell;
    os::win32::Win32Ui ui(GetModuleHandleW(nullptr));
    os::win32::Win32Net net;
    os::Platform platform{fs, sys, shell, ui, net};

    if (argc >= 2 && std::wcscmp(argv[1], L"envlist") == 0) {
        const uint32_t remoteOs =
            argc >= 3 ? static_cast<uint32_t>(std::wcstoul(argv[2], nullptr, 0)) : 0x800;
        return ShowEnvList(platform, remoteOs);
    }
    std::fputs("usage: showdialog envlist [CODE]\n", stderr);
    return 1;
}
