// Runs the file-system contract against Win32FileSystem, rooted in a fresh folder under C:\.
#include "os/win32/WinApi.h"

#include "TempFolder.h"
#include "contract/FileSystemContract.h"
#include "os/win32/Win32FileSystem.h"

namespace {

// Wine exports its own version function from ntdll; Windows does not.
bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

class Win32ContractEnv : public FileSystemContractEnv {
  public:
    os::FileSystem& Fs() override { return m_fs; }
    os::WString Root() override { return m_dir.Path(); }
    FileSystemQuirks Quirks() override {
        FileSystemQuirks quirks;
        if (RunningUnderWine()) {
            quirks.archiveAlwaysSet = true;
            quirks.noCreationTime = true;
            quirks.millisecondTimes = true;
        }
        return quirks;
    }

  private:
    os::win32::Win32FileSystem m_fs;
    wintest::TempFolder m_dir;
};

std::unique_ptr<FileSystemContractEnv> MakeWin32ContractEnv() {
    return std::make_unique<Win32ContractEnv>();
}

}  // namespace

TANDRIX_FILE_SYSTEM_CONTRACT(Win32, &MakeWin32ContractEnv);
