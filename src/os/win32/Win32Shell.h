// The Windows shell through ShellExecuteW.
#pragma once

#include "os/Shell.h"

namespace os::win32 {

class Win32Shell : public Shell {
  public:
    bool Open(const WString& verb, const WString& path) override;
};

}  // namespace os::win32
