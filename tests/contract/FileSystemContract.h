// Contract tests of os::FileSystem: what every implementation must do, checked the same way
// against the simulated file system (native build) and the Win32 one under Wine (Windows build).
//
// An implementation joins by giving a factory of a FileSystemContractEnv and instantiating the
// suite once, in a test file of its own build (never here, so this file needs no implementation):
//
//     TANDRIX_FILE_SYSTEM_CONTRACT(Win32, &MakeWin32ContractEnv);
//
// Each test gets a fresh env whose Root() is an existing, empty, writable folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "os/FileSystem.h"

// Known, documented differences of an implementation that the contract masks.
struct FileSystemQuirks {
    bool archiveAlwaysSet = false;  // Wine: regular files always report the archive bit
    bool noCreationTime = false;    // Wine on Linux: creation time reads back as another time
    bool millisecondTimes = false;  // Wine: times are kept to the millisecond, not 100 ns
    bool noShortNames = false;      // 8.3 alias creation is off on the volume
};

class FileSystemContractEnv {
  public:
    virtual ~FileSystemContractEnv() = default;
    virtual os::FileSystem& Fs() = 0;
    // An existing, empty, writable folder without a trailing separator ("C:\tandrix-contract").
    virtual os::WString Root() = 0;
    virtual FileSystemQuirks Quirks() = 0;
};

using FileSystemContractFactory = std::unique_ptr<FileSystemContractEnv> (*)();

// The test parameter: a name for the test names and the factory.
struct FileSystemContractTarget {
    const char* name;
    FileSystemContractFactory make;
};
void PrintTo(const FileSystemContractTarget& target, std::ostream* out);
std::string FileSystemContractName(const ::testing::TestParamInfo<FileSystemContractTarget>& info);

#define TANDRIX_FILE_SYSTEM_CONTRACT(Name, factory)                                       \
    INSTANTIATE_TEST_SUITE_P(Name, FileSystemContract,                                    \
                             ::testing::Values(FileSystemContractTarget{#Name, factory}), \
                             FileSystemContractName)

class FileSystemContract : public ::testing::TestWithParam<FileSystemContractTarget> {
  protected:
    void SetUp() override;
    void TearDown() override;

    os::FileSystem& Fs() { return m_env->Fs(); }
    const FileSystemQuirks& Quirks() const { return m_quirks; }
    // `name` below the root folder.
    os::WString At(const os::WString& name) const { return m_root + u"\\" + name; }

  private:
    std::unique_ptr<FileSystemContractEnv> m_env;
    os::WString m_root;
    FileSystemQuirks m_quirks;
};
