// Network category through the shell's network list manager.
#include "net/NetworkCategory.h"

namespace {

// Runs `work` between COM initialisation and uninitialisation; false without COM.
template <typename Work>
bool WithCom(os::Shell& shell, Work work) {
    if (!shell.ComInitialize()) {
        return false;
    }
    const bool result = work();
    shell.ComUninitialize();
    return result;
}

}  // namespace

bool IsNetworkPublic(os::Shell& shell) {
    return WithCom(shell, [&shell] {
        int category = -1;
        return shell.GetNetworkCategory(category) && category == os::kNetworkPublic;
    });
}

bool MakeNetworkPrivate(os::Shell& shell) {
    return WithCom(shell, [&shell] {
        return shell.ChangeNetworkCategory(os::kNetworkPublic, os::kNetworkPrivate);
    });
}

bool RestoreNetworkPublic(os::Shell& shell) {
    return WithCom(shell, [&shell] {
        return shell.ChangeNetworkCategory(os::kNetworkPrivate, os::kNetworkPublic);
    });
}
