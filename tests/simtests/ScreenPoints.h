// Centres of the painted buttons the simulated user clicks, in client coordinates.
#pragma once

#include "os/Types.h"

namespace screen {

// The main window's four copy buttons.
constexpr os::Point kFileCopyButton{170, 170};
constexpr os::Point kFolderCopyButton{170, 300};
constexpr os::Point kWholeDriveButton{400, 300};

// The file-list dialog's buttons, top to bottom.
constexpr os::Point kListChoose{497, 140};
constexpr os::Point kListRemove{497, 193};
constexpr os::Point kListRemoveAll{497, 246};
constexpr os::Point kListRun{497, 301};
constexpr os::Point kListClose{497, 354};

}  // namespace screen
