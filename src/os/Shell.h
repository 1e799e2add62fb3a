// The Windows shell as the system uses it: opening a document or folder with its verb,
// shortcuts, and the pickers. (Network category and pickers grow here with the dialogs.)
#pragma once

#include "os/Types.h"

namespace os {

class Shell {
  public:
    virtual ~Shell() = default;

    // ShellExecute with `verb` on `path` in a normal window; true when the shell accepted it.
    virtual bool Open(const WString& verb, const WString& path) = 0;
};

}  // namespace os
