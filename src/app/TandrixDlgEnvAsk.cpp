// Stand-in for the environment selection dialog: every item is chosen and the copy goes on.
// The real dialog replaces this file.
#include "app/TandrixDlg.h"

bool CTandrixDlg::AskCopyEnv() {
    return true;
}
