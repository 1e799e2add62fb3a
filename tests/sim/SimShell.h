// The simulated shell: records every document or folder the system asks it to open.
#pragma once

#include <vector>

#include "os/Shell.h"

namespace sim {

struct SimShellCall {
    os::WString verb;
    os::WString path;
};

class SimShell : public os::Shell {
  public:
    bool Open(const os::WString& verb, const os::WString& path) override {
        m_calls.push_back({verb, path});
        return m_result;
    }

    void SetResult(bool accepted) { m_result = accepted; }
    const std::vector<SimShellCall>& Calls() const { return m_calls; }

  private:
    std::vector<SimShellCall> m_calls;
    bool m_result = true;
};

}  // namespace sim
