// The dialog framework's host on Windows: dialog windows from the module's templates,
// message boxes and the message pump of the calling thread.
#pragma once

#include "os/Ui.h"
#include "os/win32/WinApi.h"

namespace os::win32 {

class Win32Ui : public Ui {
  public:
    // `module` holds the dialog templates, bitmaps and icons.
    explicit Win32Ui(HINSTANCE module) : m_hModule(module) {}

    std::unique_ptr<DialogWindow> CreateDialogWindow(Dialog& dialog, int templateId,
                                                     Dialog* parent) override;
    int MessageBox(Dialog* owner, const WString& text, const WString& title,
                   unsigned type) override;
    void PumpMessages() override;
    void PostQuit(int exitCode) override;
    void NudgeDesktop() override;

  private:
    HINSTANCE m_hModule;
};

}  // namespace os::win32
