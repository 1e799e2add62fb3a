// Applying held-back progress updates in the order the window needs them: the name, the file
// bar's range before its position, then the overall bar.
#include "ui/PacedProgress.h"

#include "ui/DlgProgress.h"

bool CPacedProgress::Flush(CDlgProgress* dialog, uint64_t nowMs, bool force) {
    if (!HasWaiting()) {
        return false;
    }
    if (!force && !m_pacer.Due(nowMs)) {
        return true;
    }
    if (dialog) {
        if (m_name) {
            dialog->SetFileName(*m_name);
        }
        if (m_range) {
            dialog->SetFileRange(*m_range);
        }
        if (m_pos) {
            dialog->SetFilePos(*m_pos);
        }
        if (m_overall) {
            dialog->SetOverallPos(*m_overall);
        }
    }
    DropWaiting();
    return false;
}

void CPacedProgress::Restart() {
    DropWaiting();
    m_pacer.Reset();
}

void CPacedProgress::DropWaiting() {
    m_name.reset();
    m_range.reset();
    m_pos.reset();
    m_overall.reset();
}
