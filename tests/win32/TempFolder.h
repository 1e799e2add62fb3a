// A fresh folder under C:\ for one test, removed with everything in it afterwards.
#pragma once

#include "os/win32/WinApi.h"

#include "os/Types.h"

namespace wintest {

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const os::WString& Path() const { return m_path; }
    // Path of `name` inside the folder.
    os::WString operator/(const os::WString& name) const { return m_path + u"\\" + name; }

  private:
    os::WString m_path;
};

// Writes `bytes` into a new file through plain Win32 calls (independent of the code under test).
void WriteWholeFile(const os::WString& path, const std::string& bytes);
std::string ReadWholeFile(const os::WString& path);

}  // namespace wintest
