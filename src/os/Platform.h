// Everything one PC offers the system. Each object receives the Platform of its PC at
// construction; there is no global platform, so two simulated PCs can live in one test.
#pragma once

#include "os/FileSystem.h"
#include "os/Net.h"
#include "os/Shell.h"
#include "os/System.h"
#include "os/Ui.h"

namespace os {

struct Platform {
    FileSystem& fs;
    System& sys;
    Shell& shell;
    Ui& ui;
    Net& net;
};

}  // namespace os
