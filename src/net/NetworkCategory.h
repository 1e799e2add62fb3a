// The category of the network this PC is connected to: Windows refuses incoming connections
// on a public network, so the role choice offers to make it private and the main dialog makes
// it public again when it goes away. Each operation stands alone: COM, one network list
// manager, the first connected network, and COM released again.
#pragma once

#include "os/Shell.h"

// True when the first connected network is public; false when it is not, or cannot be read.
bool IsNetworkPublic(os::Shell& shell);
// Public → private; false when the network was not public or the change was refused.
bool MakeNetworkPrivate(os::Shell& shell);
// Private → public; false when the network was not private or the change was refused.
bool RestoreNetworkPublic(os::Shell& shell);
