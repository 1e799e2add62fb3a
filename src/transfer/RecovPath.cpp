// Recovery history.
#include "transfer/RecovPath.h"

CRecovPath::~CRecovPath() = default;

void CRecovPath::AddPath(const WalkPosition& position) {
    if (m_positions.size() >= kCapacity) {
        m_positions.pop_front();
    }
    m_positions.push_back(position);
}

int CRecovPath::Rewind(const os::WString& reported, WalkPosition& position) {
    for (size_t i = m_positions.size(); i-- > 0;) {
        if (m_positions[i].curPath2 == reported) {
            position = m_positions[i];
            const int newer = static_cast<int>(m_positions.size() - 1 - i);
            m_positions.clear();
            return newer;
        }
    }
    return -1;
}
