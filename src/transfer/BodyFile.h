// One received file body on its way to its final name. The body is written through a single
// handle into a temporary file beside the final name; only a commit replaces what was there,
// so an interrupted or damaged body never costs the user an older copy of the file. A body that
// arrived whole with its entry, for a name nothing answers to, is written under its final name
// at once: it is complete as soon as it is written, and a discard removes it again.
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
    // that no existing entry has; with `wholeBodyAtHand` the file is made under `finalPath`
    // itself where nothing answers to that name. False when none could be created; a body
    // already held is discarded first.
    bool Create(const os::WString& folder, const os::WString& finalPath, bool wholeBodyAtHand);
    bool Write(const uint8_t* data, size_t size);
    // The last byte is written: remembers the three times; the handle stays open for the commit.
    void Close(uint64_t creation, uint64_t lastAccess, uint64_t lastWrite);
    // Puts the finished body at its final name, replacing a file of exactly that name (whatever
    // its attributes), and gives it its times and `attributes`. A folder at that name, or an
    // entry that answers to it only through its short name, is left alone: the body is then
    // discarded and false is returned. Where the name is free, the file is renamed, stamped and
    // closed through the one handle it was written with.
    bool Commit(uint32_t attributes);
    // Removes the file the body was written to: the temporary file, or the file this body made
    // under its final name. Nothing that was there before is touched.
    void Discard();

    bool IsHeld() const { return !m_sTemp.empty(); }
    const os::WString& FinalPath() const { return m_sFinal; }

  private:
    bool ReplaceExisting();
    void StampTimes();

    os::FileSystem& m_fs;
    std::unique_ptr<os::File> m_pFile;
    os::WString m_sTemp;
    os::WString m_sFinal;
    uint64_t m_nCreation = 0;
    uint64_t m_nLastAccess = 0;
    uint64_t m_nLastWrite = 0;
    bool m_bClosed = false;         // the last byte is written
    bool m_bAtFinal = false;        // made under its final name (m_sTemp holds that name)
    bool m_bDeletePending = false;  // the system removes the temporary file when it closes
    uint32_t m_nSerial = 0;  // numbers the temporary names, so that a leftover never blocks one
};
