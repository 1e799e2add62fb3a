// The portable half of the dialog base: it owns the window the host made for it.
#include "os/Ui.h"

namespace os {

Dialog::Dialog(Ui& ui, int templateId, Dialog* parent)
    : m_ui(ui), m_nTemplateId(templateId), m_pParent(parent) {}

Dialog::~Dialog() = default;

DialogWindow& Dialog::EnsureWindow() {
    if (!m_pWindow) {
        m_pWindow = m_ui.CreateDialogWindow(*this, m_nTemplateId, m_pParent);
    }
    return *m_pWindow;
}

int Dialog::DoModal() {
    return EnsureWindow().RunModal();
}

bool Dialog::Create() {
    return EnsureWindow().CreateModeless();
}

void Dialog::EndDialog(int result) {
    if (m_pWindow) {
        m_pWindow->End(result);
    }
}

void Dialog::DestroyWindow() {
    if (m_pWindow) {
        m_pWindow->Destroy();
    }
}

bool Dialog::HasWindow() const {
    return m_pWindow && m_pWindow->Exists();
}

DialogWindow& Dialog::Window() {
    return EnsureWindow();
}

}  // namespace os
