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

    // COM for the calling thread (single-threaded apartment), around each use of a shell object.
    virtual bool ComInitialize() = 0;
    virtual void ComUninitialize() = 0;
    // A shell link at `linkPath` (overwritten) to `target`, normal window, default icon.
    virtual bool SaveShortcut(const WString& linkPath, const WString& target,
                              const WString& description, const WString& arguments) = 0;
};

}  // namespace os
