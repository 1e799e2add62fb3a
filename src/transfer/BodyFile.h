// One received file body on its way to its final name. The body is written through a single
// handle into a temporary file beside the final name; only a commit replaces what was there,
// so an interrupted or damaged body never costs the user an older copy of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "os/FileSystem.h"
#include "os/Types.h"

class CBodyFile {
  public:
    explicit CBodyFile(os::FileSystem& fs) : m_fs(fs) {}
    ~CBodyFile() { Discard(); }
    CBodyFile(const CBodyFile&) = delete;
    CBodyFile& operator=(const CBodyFile&) = delete;

    // Creates a new, empty temporary file in `folder` (the parent of `finalPath`) under a name
    // that no existing entry has. False when none could be created; a body already held is
    // discarded first.
    bool Create(const os::WString& folder, const os::WString& finalPath);
    bool Write(const uint8_t* data, size_t size);
    // The last byte is written: stamps the three times and closes the handle.
    void Close(uint64_t creation, uint64_t lastAccess, uint64_t lastWrite);
    // Puts the closed body at its final name, replacing a file of exactly that name (whatever
    // its attributes), then gives it `attributes`. A folder at that name, or an entry that
    // answers to it only through its short name, is left alone: the body is then discarded
    // and false is returned.
    bool Commit(uint32_t attributes);
    // Removes the temporary file; the final name is not touched.
    void Discard();

    bool IsHeld() const { return !m_sTemp.empty(); }
    const os::WString& FinalPath() const { return m_sFinal; }

  private:
    bool ReplaceExisting();

    os::FileSystem& m_fs;
    std::unique_ptr<os::File> m_pFile;
    os::WString m_sTemp;
    os::WString m_sFinal;
    uint32_t m_nSerial = 0;  // numbers the temporary names, so that a leftover never blocks one
};
