// Win32System and Win32Shell against the running (Wine) system.
#include "os/win32/WinApi.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <thread>
#include <vector>

#include <objbase.h>
#include <shlobj.h>

#include "TempFolder.h"
#include "os/Text.h"
#include "os/win32/Win32Shell.h"
#include "os/win32/Win32System.h"
#include "os/win32/WinText.h"

namespace {

using os::WString;

class Win32SystemTest : public testing::Test {
  protected:
    os::win32::Win32System sys;
};

bool EndsWithNoCase(const WString& text, const WString& suffix) {
    return text.size() >= suffix.size() &&
           os::EqualsNoCase(std::u16string_view(text).substr(text.size() - suffix.size()), suffix);
}

TEST_F(Win32SystemTest, NamesOfThisPcAndUser) {
    WString computer, user;
    ASSERT_TRUE(sys.GetComputerName(computer));
    EXPECT_FALSE(computer.empty());
    EXPECT_LE(computer.size(), 15u);
    EXPECT_EQ(computer.find(u'\0'), WString::npos);
    ASSERT_TRUE(sys.GetUserName(user));
    EXPECT_FALSE(user.empty());
    EXPECT_EQ(user.find(u'\0'), WString::npos);
}

TEST_F(Win32SystemTest, ExtendedAndBasicVersionRecordsAgree) {
    os::VersionInfo extended, basic;
    ASSERT_TRUE(sys.GetVersion(extended, true));
    ASSERT_TRUE(sys.GetVersion(basic, false));
    EXPECT_EQ(extended.platformId, 2u);  // NT
    EXPECT_GE(extended.major, 6u);
    EXPECT_EQ(basic.major, extended.major);
    EXPECT_EQ(basic.minor, extended.minor);
    EXPECT_EQ(basic.build, extended.build);
    EXPECT_EQ(basic.servicePack, extended.servicePack);
    EXPECT_EQ(extended.productType, os::kProductWorkstation);
    // The basic record has no extended fields.
    EXPECT_EQ(basic.productType, 0);
    EXPECT_EQ(basic.suiteMask, 0);
}

TEST_F(Win32SystemTest, FoldersOfThisPc) {
    WString windows;
    ASSERT_TRUE(sys.GetWindowsDirectory(windows));
    EXPECT_TRUE(os::EqualsNoCase(windows, u"C:\\windows")) << os::ToUtf8(windows);

    WString documents, desktop, special;
    ASSERT_TRUE(sys.GetFolderPath(os::kCsidlPersonal, documents));
    EXPECT_TRUE(os::StartsWithNoCase(documents, u"C:\\users\\")) << os::ToUtf8(documents);
    ASSERT_TRUE(sys.GetFolderPath(os::kCsidlDesktopDirectory, desktop));
    EXPECT_NE(documents, desktop);
    ASSERT_TRUE(sys.GetSpecialFolderPath(os::kCsidlPersonal, false, special));
    EXPECT_EQ(special, documents);
    EXPECT_FALSE(sys.GetFolderPath(0x7fff, special));  // no such id

    WString module;
    ASSERT_TRUE(sys.GetModulePath(module));
    EXPECT_TRUE(EndsWithNoCase(module, u"\\tandrix_win_tests.exe")) << os::ToUtf8(module);
}

TEST_F(Win32SystemTest, HostLookupOfLocalhost) {
    ASSERT_TRUE(sys.SocketsStartup());
    std::array<uint8_t, 4> address{};
    EXPECT_TRUE(sys.LookupHost("localhost", address));
    EXPECT_EQ(address, (std::array<uint8_t, 4>{127, 0, 0, 1}));
    EXPECT_TRUE(sys.LookupHost("127.0.0.1", address));
    EXPECT_EQ(address, (std::array<uint8_t, 4>{127, 0, 0, 1}));
    EXPECT_FALSE(sys.LookupHost("no-such-host.invalid", address));
    sys.SocketsCleanup();
}

TEST_F(Win32SystemTest, HostLookupOfEveryAddress) {
    ASSERT_TRUE(sys.SocketsStartup());
    std::vector<std::array<uint8_t, 4>> addresses;
    EXPECT_TRUE(sys.LookupHostAll("127.0.0.1", addresses));
    EXPECT_EQ(addresses, (std::vector<std::array<uint8_t, 4>>{{127, 0, 0, 1}}));
    addresses.clear();
    ASSERT_TRUE(sys.LookupHostAll("localhost", addresses));
    ASSERT_FALSE(addresses.empty());
    std::array<uint8_t, 4> first{};
    ASSERT_TRUE(sys.LookupHost("localhost", first));
    EXPECT_EQ(addresses.front(), first) << "the same look-up, every address";
    EXPECT_FALSE(sys.LookupHostAll("no-such-host.invalid", addresses));
    sys.SocketsCleanup();
}

TEST_F(Win32SystemTest, AnsiConversionsUseTheAnsiCodePage) {
    const std::vector<WString> ascii = {u"", u"PC-A", u"C:\\Users\\taro\\a b.txt"};
    for (const WString& text : ascii) {
        const std::string bytes = sys.WideToAnsi(text);
        EXPECT_EQ(bytes, os::ToAscii(text));
        EXPECT_EQ(sys.AnsiToWide(bytes), text);
    }
}

TEST_F(Win32SystemTest, AnsiConversionsOnJapaneseWindowsAreShiftJis) {
    if (GetACP() != 932) {
        GTEST_SKIP() << "ANSI code page is " << GetACP() << ", not Japanese";
    }
    // "引越元のパソコン" in code page 932 (Shift_JIS), byte for byte.
    const std::string sjis = "\x88\xf8\x89\x7a\x8c\xb3\x82\xcc\x83\x70\x83\x5c\x83\x52\x83\x93";
    EXPECT_EQ(sys.WideToAnsi(u"引越元のパソコン"), sjis);
    EXPECT_EQ(sys.AnsiToWide(sjis), u"引越元のパソコン");
    // Mixed with ASCII, as host names and paths are.
    EXPECT_EQ(sys.AnsiToWide("PC-" + sjis.substr(0, 6)), u"PC-引越元");
}

TEST_F(Win32SystemTest, ErrorTextsComeFromTheSystem) {
    EXPECT_FALSE(sys.ErrorText(os::kErrFileNotFound).empty());
    EXPECT_NE(sys.ErrorText(os::kErrFileNotFound), sys.ErrorText(os::kErrAccessDenied));
    EXPECT_TRUE(sys.ErrorText(0x2000FFFF).empty());

    SetLastError(os::kErrSharingViolation);
    EXPECT_EQ(sys.LastError(), os::kErrSharingViolation);
}

TEST_F(Win32SystemTest, NamedMutexTellsWhetherItAlreadyExisted) {
    const WString name = u"TandrixTestMutex-" + os::ToWString(GetCurrentProcessId());
    bool existed = true;
    auto first = sys.CreateNamedMutex(name, existed);
    ASSERT_TRUE(first);
    EXPECT_FALSE(existed);

    auto second = sys.CreateNamedMutex(name, existed);
    ASSERT_TRUE(second);
    EXPECT_TRUE(existed);

    // Both handles closed: the name is free again.
    first.reset();
    second.reset();
    auto third = sys.CreateNamedMutex(name, existed);
    ASSERT_TRUE(third);
    EXPECT_FALSE(existed);
}

// What another thread sees when it tries to take `mutex` without waiting.
DWORD TryTakeFromOtherThread(HANDLE mutex) {
    DWORD result = WAIT_FAILED;
    std::thread other([&] {
        result = WaitForSingleObject(mutex, 0);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) {
            ReleaseMutex(mutex);
        }
    });
    other.join();
    return result;
}

TEST_F(Win32SystemTest, NamedMutexIsOnlyAMarkerNobodyOwns) {
    const WString name = u"TandrixTestMarker-" + os::ToWString(GetCurrentProcessId());
    bool existed = true;
    auto mutex = sys.CreateNamedMutex(name, existed);
    ASSERT_TRUE(mutex);
    HANDLE observer =
        OpenMutexW(SYNCHRONIZE, FALSE, reinterpret_cast<const wchar_t*>(name.c_str()));
    ASSERT_NE(observer, nullptr);
    // Created without an owner: it marks the running copy and is never waited on.
    EXPECT_EQ(TryTakeFromOtherThread(observer), static_cast<DWORD>(WAIT_OBJECT_0));
    mutex.reset();
    CloseHandle(observer);
    auto again = sys.CreateNamedMutex(name, existed);
    EXPECT_FALSE(existed) << "closing every handle frees the name";
}

TEST_F(Win32SystemTest, JapaneseLocaleSelectsTheJapaneseCodePage) {
    sys.SetJapaneseLocale();
    const char* locale = setlocale(LC_ALL, nullptr);
    ASSERT_NE(locale, nullptr);
    EXPECT_NE(std::string(locale).find("932"), std::string::npos) << locale;
    setlocale(LC_ALL, "C");
}

TEST(Win32ShellTest, OpenReportsFailureForMissingDocuments) {
    os::win32::Win32Shell shell;
    EXPECT_FALSE(shell.Open(u"open", u"C:\\no\\such\\document.txt"));
}

TEST(Win32ShellTest, ShortcutsKeepTargetDescriptionAndArguments) {
    os::win32::Win32Shell shell;
    wintest::TempFolder dir;
    const WString link = dir / u"引越元のメモ帳.lnk";
    ASSERT_TRUE(shell.ComInitialize());
    ASSERT_TRUE(
        shell.SaveShortcut(link, u"C:\\windows\\notepad.exe", u"メモ帳を開く", u"/a \"b c\""));

    // Read back through the shell's own objects.
    IShellLinkW* read = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, reinterpret_cast<void**>(&read))));
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(read->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    ASSERT_TRUE(SUCCEEDED(file->Load(reinterpret_cast<const wchar_t*>(link.c_str()), STGM_READ)));
    wchar_t text[MAX_PATH] = {};
    read->GetPath(text, MAX_PATH, nullptr, 0);
    EXPECT_TRUE(os::EqualsNoCase(os::win32::FromW(text), u"C:\\windows\\notepad.exe"));
    read->GetDescription(text, MAX_PATH);
    EXPECT_EQ(os::win32::FromW(text), u"メモ帳を開く");
    read->GetArguments(text, MAX_PATH);
    EXPECT_EQ(os::win32::FromW(text), u"/a \"b c\"");
    int show = 0;
    read->GetShowCmd(&show);
    EXPECT_EQ(show, SW_SHOWNORMAL);
    file->Release();
    read->Release();
    shell.ComUninitialize();
}

// The test prefix disables Wine's network list manager (netprofm): like a PC without one, every
// category call fails and changes nothing. With COM missing they fail too.
TEST(Win32ShellTest, NetworkCategoryWithoutAManagerFails) {
    os::win32::Win32Shell shell;
    int category = -1;
    EXPECT_FALSE(shell.GetNetworkCategory(category)) << "no COM";
    ASSERT_TRUE(shell.ComInitialize());
    EXPECT_FALSE(shell.GetNetworkCategory(category));
    EXPECT_EQ(category, -1);
    EXPECT_FALSE(shell.ChangeNetworkCategory(os::kNetworkPublic, os::kNetworkPrivate));
    EXPECT_FALSE(shell.ChangeNetworkCategory(os::kNetworkPrivate, os::kNetworkPublic));
    shell.ComUninitialize();
}

// The open-file dialog's buffer for a literal with its inner NULs: the list ends with an
// empty string.
template <size_t N>
std::vector<WString> ParseBuffer(const wchar_t (&text)[N]) {
    const std::wstring buffer = std::wstring(text, N - 1) + L'\0' + L'\0';
    return os::win32::ParseOpenFileNames(buffer.c_str());
}

TEST(Win32ShellTest, PathsOfTheOpenFileDialogsBuffer) {
    EXPECT_EQ(ParseBuffer(L"C:\\work\\a.txt"), (std::vector<WString>{u"C:\\work\\a.txt"}));
    EXPECT_EQ(ParseBuffer(L"C:\\work\0a.txt\0写真.jpg"),
              (std::vector<WString>{u"C:\\work\\a.txt", u"C:\\work\\写真.jpg"}));
    EXPECT_EQ(ParseBuffer(L"D:\\\0a\0b"), (std::vector<WString>{u"D:\\a", u"D:\\b"}));
    EXPECT_TRUE(ParseBuffer(L"").empty());
}

TEST(Win32ShellTest, NamesInAFileDialogsNameBox) {
    using os::win32::SplitNameBox;
    EXPECT_EQ(SplitNameBox(u"\"Photos\" \"Docs\""), (std::vector<WString>{u"Photos", u"Docs"}));
    EXPECT_EQ(SplitNameBox(u"\"写真 2024\" \"C:\\x\""),
              (std::vector<WString>{u"写真 2024", u"C:\\x"}));
    EXPECT_EQ(SplitNameBox(u"  My Folder "), (std::vector<WString>{u"My Folder"}));
    EXPECT_EQ(SplitNameBox(u"\"a\" \"unclosed"), (std::vector<WString>{u"a", u"unclosed"}));
    EXPECT_TRUE(SplitNameBox(u"").empty());
    EXPECT_TRUE(SplitNameBox(u"   ").empty());
}

}  // namespace
