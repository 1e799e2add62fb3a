// Entry point of tandrix_win_tests.exe (built with -municode, so wmain).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
    // The test templates hold progress bars, as tandrix.exe's do.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
