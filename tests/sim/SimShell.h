// The simulated shell: records every document or folder the system asks it to open, keeps
// count of COM initialisation, and saves shortcuts as small files that name their target.
#pragma once

#include <vector>

#include "os/FileSystem.h"
#include "os/Shell.h"

namespace sim {

struct SimShellCall {
    os::WString verb;
    os::WString path;
};

struct SimShortcut {
    os::WString linkPath;
    os::WString target;
    os::WString description;
    os::WString arguments;
};

class SimShell : public os::Shell {
  public:
    bool Open(const os::WString& verb, const os::WString& path) override;
    bool ComInitialize() override;
    void ComUninitialize() override { ++m_comUninits; }
    // Needs COM on the thread, as the shell-link object does; with a file system the link
    // becomes a file holding its target in UTF-8.
    bool SaveShortcut(const os::WString& linkPath, const os::WString& target,
                      const os::WString& description, const os::WString& arguments) override;

    void SetResult(bool accepted) { m_result = accepted; }
    void SetComFails(bool fails) { m_comFails = fails; }
    void SetFileSystem(os::FileSystem* fs) { m_fs = fs; }

    const std::vector<SimShellCall>& Calls() const { return m_calls; }
    const std::vector<SimShortcut>& Shortcuts() const { return m_shortcuts; }
    int ComInits() const { return m_comInits; }
    int ComUninits() const { return m_comUninits; }

  private:
    os::FileSystem* m_fs = nullptr;
    std::vector<SimShellCall> m_calls;
    std::vector<SimShortcut> m_shortcuts;
    bool m_result = true;
    bool m_comFails = false;
    int m_comInits = 0;
    int m_comUninits = 0;
};

}  // namespace sim
