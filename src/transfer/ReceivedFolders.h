// The folders the destination creates for received entries: each is created once and then
// remembered, and an existing folder is used only when its real long name is the one asked
// for, never when a name merely matches through its 8.3 alias.
#pragma once

#include "os/FileSystem.h"
#include "os/Types.h"

class CReceivedFolders {
  public:
    explicit CReceivedFolders(os::FileSystem& fs) : m_fs(fs) {}

    // A new stream into `base`, which the folder list made: it and its parents are taken as
    // they are and never created or changed here.
    void Reset(const os::WString& base) {
        m_sBase = base;
        m_sKnown = base;
    }

    // Makes sure every folder of `folder` ("X:\a\b", no trailing "\") exists under exactly
    // the names it is given, creating the missing ones. False when a component cannot be
    // created, is a file, or exists only as the alias of an entry with another name.
    bool Ensure(const os::WString& folder);
    // Something on disk changed under us (a folder vanished): check everything again.
    void Forget() { m_sKnown = m_sBase; }

  private:
    os::FileSystem& m_fs;
    os::WString m_sBase;
    os::WString m_sKnown;  // the last folder found or made whole; its parents are known too
};
