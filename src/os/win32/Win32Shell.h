// The Windows shell: ShellExecuteW, COM around shell objects, and shell links.
#pragma once

#include "os/Shell.h"

namespace os::win32 {

class Win32Shell : public Shell {
  public:
    bool Open(const WString& verb, const WString& path) override;
    bool ComInitialize() override;
    void ComUninitialize() override;
    bool SaveShortcut(const WString& linkPath, const WString& target, const WString& description,
                      const WString& arguments) override;
};

}  // namespace os::win32
