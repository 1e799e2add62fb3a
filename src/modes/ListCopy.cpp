// File-list and folder copies: each chosen file or folder goes below the destination root
// under its own name.
#include <memory>

#include "app/TandrixDlg.h"
#include "modes/DlgFileList.h"
#include "os/Ui.h"
#include "platform/FileOps.h"
#include "platform/FilePath.h"
#include "platform/FolderPathInfo.h"

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

void CTandrixDlg::StartListCopy(bool folders) {
    CFilePath& list = folders ? *m_pFolderList : *m_pFileList;
    int result = os::kIdCancel;
    {
        auto dialog = std::make_unique<CDlgFileList>(m_os, this, m_sProgramFolder);
        dialog->m_nFolder = folders ? 1 : 0;
        for (int i = 0; i < list.Count() && dialog->m_nCount < CDlgFileList::kMaxEntries; ++i) {
            dialog->m_sPaths[dialog->m_nCount++] = list.SrcAt(i);
        }
        dialog->m_bDragDropOff = (m_pFolderInfo->OSVersion() & kOsVistaAndLater) != 0;
        result = dialog->DoModal();
        // Whatever the result, the list keeps what the dialog held, without case duplicates.
        list.Clear();
        for (const os::WString& path : dialog->m_sPaths) {
            if (!path.empty()) {
                list.AddPath(path, false);
            }
        }
    }
    // The partner may have started a copy of its own towards this PC meanwhile.
    if (result != os::kIdOk || m_nRole == 2) {
        return;
    }
    if (!ChooseDestinationDrive()) {
        return;
    }
    BuildListSendPath(list);
    BeginCopy();
}
