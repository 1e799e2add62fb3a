// Runs the file-system contract against the simulated file system.
#include "contract/FileSystemContract.h"
#include "sim/SimFileSystem.h"

namespace {

class SimContractEnv : public FileSystemContractEnv {
  public:
    SimContractEnv() {
        m_fs.AddDrive(u'C', os::DriveType::Fixed, u"NTFS", u"Windows", 1ull << 30);
        m_fs.CreateDirectory(Root());
    }
    os::FileSystem& Fs() override { return m_fs; }
    os::WString Root() override { return u"C:\\tandrix-contract"; }
    FileSystemQuirks Quirks() override { return {}; }

  private:
    sim::SimFileSystem m_fs;
};

std::unique_ptr<FileSystemContractEnv> MakeSimContractEnv() {
    return std::make_unique<SimContractEnv>();
}

}  // namespace

TANDRIX_FILE_SYSTEM_CONTRACT(Sim, &MakeSimContractEnv);
