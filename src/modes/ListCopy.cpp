// File-list and folder copies: each chosen file or folder goes below the destination root
// under its own name.
#include "app/TandrixDlg.h"
#include "platform/FileOps.h"
#include "platform/FilePath.h"

void CTandrixDlg::BuildListSendPath(const CFilePath& sources) {
    Window().Enable(false);
    m_pSendPath->Clear();
    const os::WString root = DestRoot();
    m_pSendPath->SetFolderText(root);
    for (int i = 0; i < sources.Count(); ++i) {
        const os::WString source = sources.SrcAt(i);
        const SplitPathParts parts = SplitPath(StripSuffix(source, u"\\"));
        m_pSendPath->AddPair(source, root + u"\\" + parts.name + parts.ext, false);
    }
    m_pSendPath->m_nCurrent = 0;
}
