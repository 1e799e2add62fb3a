// Environment copy, destination side: the received staging folder is moved aside to a fresh
// registration folder, and each item listed in its "order_list.txt" is moved into this PC's
// matching standard folder. Nothing the user already has is replaced by a different file, and
// nothing is left where the user cannot find it: the report names every file that was renamed,
// waits for the next restart or stayed behind.
#pragma once

#include <utility>
#include <vector>

#include "modes/EnvCopy.h"
#include "os/Platform.h"

namespace env {

struct RegisterReport {
    bool listRead = false;    // the registration folder's "order_list.txt" was read
    os::WString filesLeftIn;  // when not read: the folder that still holds the received files
    // Files that arrived under a new name beside a different file of the same name.
    std::vector<os::WString> renamed;
    // Files that could not move now: where each arrives at the next restart.
    std::vector<os::WString> waiting;
    // Files that could not move at all, where they are.
    std::vector<os::WString> leftBehind;
    // Items without a destination folder on this PC: where their files are.
    std::vector<os::WString> skipped;

    bool Failed() const { return !listRead || !leftBehind.empty() || !skipped.empty(); }
};

// Registers the environment copy received in the base folder of drive `letter`, into the
// folders `here`. `ui`, when not null, handles waiting messages after each file.
RegisterReport RegisterReceivedFiles(os::FileSystem& fs, os::System& sys, os::Ui* ui,
                                     char16_t letter, const Locations& here);

// "name (2).ext", "name (3).ext" ...: the first name beside `path` that is free; empty when
// none of a few thousand is.
os::WString KeepBothName(os::FileSystem& fs, const os::WString& path);

// The report as the destination's user reads it; empty when there is nothing to say.
os::WString ReportText(const RegisterReport& report);

}  // namespace env
