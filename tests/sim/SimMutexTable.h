// Named kernel mutexes of one simulated PC. Every SimSystem ("process") of that PC shares one
// table, so a second process sees the first one's mutex; a name lives while any holder does.
#pragma once

#include <map>
#include <mutex>

#include "os/Types.h"

namespace sim {

class SimMutexTable {
  public:
    // Registers one more holder of `name`; true when it already had one.
    bool Acquire(const os::WString& name) {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_holders[name]++ > 0;
    }
    void Release(const os::WString& name) {
        std::lock_guard<std::mutex> guard(m_lock);
        const auto it = m_holders.find(name);
        if (it != m_holders.end() && --it->second == 0) {
            m_holders.erase(it);
        }
    }
    int Holders(const os::WString& name) const {
        std::lock_guard<std::mutex> guard(m_lock);
        const auto it = m_holders.find(name);
        return it == m_holders.end() ? 0 : it->second;
    }

  private:
    mutable std::mutex m_lock;
    std::map<os::WString, int> m_holders;  // kernel object names are case-sensitive
};

}  // namespace sim
