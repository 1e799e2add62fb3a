// Environment copy, source side: the refusal for destinations before XP, the item choice, the
// destination's system drive, and the build step that sends each chosen folder's top-level
// entries into a staging folder on the destination together with "order_list.txt".
#include "modes/EnvCopy.h"

#include "app/TandrixDlg.h"
#include "modes/DlgEnvList.h"
#include "os/Text.h"
#include "platform/Drive.h"
#include "platform/FileOps.h"
#include "platform/FilePath.h"
#include "platform/FolderPathInfo.h"
#include "platform/PathLog.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "platform/Trace.h"

namespace env {

Locations ReadLocations(CFolderPathInfo& info) {
    Locations l;
    l.documents = info.GetMyDocumentFolderPath();
    l.pictures = info.GetMyPictureFolderPath();
    l.videos = info.GetMyVideoFolderPath();
    l.music = info.GetMyMusicFolderPath();
    l.publicDocuments = info.GetCommonDocumentFolderPath();
    l.publicPictures = info.GetCommonPictureFolderPath();
    l.publicVideos = info.GetCommonVideoFolderPath();
    l.publicMusic = info.GetCommonMusicFolderPath();
    l.favorites = info.GetFavoriteFolderPath();
    l.desktop = info.GetDesktopFolderPath();
    l.publicFavorites = info.GetCommonFavoriteFolderPath();
    l.publicDesktop = info.GetCommonDesktopFolderPath();
    l.history = info.GetHistoryFolderPath();
    l.cookies = info.GetCookieFolderPath();
    return l;
}

bool IsExcluded(const MoveItem& item, const Locations& l, const os::WString& folder,
                const os::WString& name) {
    if (name == u"." || name == u".." || os::EqualsNoCase(name, u"desktop.ini")) {
        return true;
    }
    // A special folder inside the documents goes with its own item or not at all.
    const os::WString full = folder + u"\\" + name;
    const os::WString ownFolder = l.documents + u"\\" + kOwnFolderName;
    switch (item.exclusion) {
        case Exclusion::Documents:
            for (const os::WString* special : {&l.pictures, &l.videos, &l.music, &l.favorites,
                                               &l.desktop, &l.history, &l.cookies, &ownFolder}) {
                if (!special->empty() && full == *special) {
                    return true;
                }
            }
            return false;
        case Exclusion::PublicDocuments:
            for (const os::WString* special : {&l.publicPictures, &l.publicVideos, &l.publicMusic,
                                               &l.publicFavorites, &l.publicDesktop, &ownFolder}) {
                if (!special->empty() && full == *special) {
                    return true;
                }
            }
            return false;
        case Exclusion::Music:
            return name == u"iTunes";
        case Exclusion::Desktop:
            return name.size() >= 4 && name.compare(name.size() - 4, 4, u".lnk") == 0;
        case Exclusion::None:
            break;
    }
    return false;
}

std::string OrderListText(const std::vector<os::WString>& keys) {
    std::string text;
    os::WString last;
    for (const os::WString& key : keys) {
        if (key != last) {
            text += os::ToAscii(key) + "\r\n";
            last = key;
        }
    }
    return text;
}

}  // namespace env

namespace {

// Writes `bytes` as the whole file; false when it cannot be created.
bool WriteWholeFile(os::FileSystem& fs, const os::WString& path, const std::string& bytes) {
    auto file = fs.Open(path, os::OpenMode::CreateAlways);
    if (!file) {
        return false;
    }
    uint32_t written = 0;
    return bytes.empty() || file->Write(bytes.data(), static_cast<uint32_t>(bytes.size()), written);
}

}  // namespace

void CTandrixDlg::StartEnvCopy() {
    if ((static_cast<uint32_t>(m_peer.m_nRemoteOSVer) & env::kDestinationOsMask) == 0) {
        ShowMessage(m_os.ui, texts::kEnvCopyRefused);
        return;
    }
    if (!AskCopyEnv()) {
        return;
    }
    // The partner may have started a copy of its own towards this PC meanwhile.
    if (m_nRole == 2) {
        return;
    }
    RunEnvCopy(m_pEnvList->m_bRunFlags);
}

void CTandrixDlg::RunEnvCopy(const env::RunFlags& flags) {
    // The destination's system drive is the one entry of its list with an upper-case root.
    char16_t letter = u'C';
    for (int i = 0; i < m_pRemoteDrives->Count(); ++i) {
        const os::WString root = m_pRemoteDrives->GetRoot(i);
        if (!root.empty() && root[0] >= u'A' && root[0] <= u'Z') {
            letter = root[0];
            break;
        }
    }
    if (m_sDestDrive.empty()) {
        m_sDestDrive = u"ドライブ：C";
    }
    m_sDestDrive.back() = letter;
    if (DoEnvCopy(flags)) {
        BeginCopy();
    }
}

bool CTandrixDlg::DoEnvCopy(const env::RunFlags& flags) {
    Window().Enable(false);
    m_pEnvPath->Clear();
    m_pSendPath->Clear();
    const env::Locations here = env::ReadLocations(*m_pFolderInfo);

    const os::WString root = DestRoot();
    const os::WString staging = root + u"\\" + env::kStagingName;
    m_pSendPath->SetFolderText(root + staging);

    const os::WString work = GetWorkFolderPath(m_os.sys);
    if (!work.empty()) {
        RemoveDirTree(m_os.fs, work, true);
        CreateDirRecursive(m_os.fs, work);
    }
    Trace(u"Check Options");

    const bool publicFolders =
        (m_pFolderInfo->OSVersion() & env::kPublicFoldersOsMask) != 0 &&
        (static_cast<uint32_t>(m_peer.m_nRemoteOSVer) & env::kPublicFoldersOsMask) != 0;
    std::vector<os::WString> keys;  // the n-th key belongs to the n-th source
    for (const env::MoveItem& item : env::kMoveItems) {
        const os::WString& folder = here.*item.own;
        // An unknown location contributes nothing: its pattern would list a drive's root.
        if (!flags[item.runFlag] || (item.isPublic && !publicFolders) ||
            (here.*item.user).empty() || folder.empty()) {
            continue;
        }
        Trace(item.sourceTrace);
        os::FindData record;
        auto find = m_os.fs.FindFirst(folder + u"\\*.*", record);
        if (!find) {
            continue;
        }
        do {
            if (!env::IsExcluded(item, here, folder, record.name) &&
                m_pEnvPath->AddPath(folder + u"\\" + record.name, false) == CFilePath::kAdded) {
                keys.emplace_back(item.key);
            }
        } while (find->Next(record));
    }

    Trace(u"output order_list and add");
    const os::WString orderList = work + u"\\" + env::kOrderListName;
    if (!work.empty() && WriteWholeFile(m_os.fs, orderList, env::OrderListText(keys)) &&
        m_pEnvPath->AddPath(orderList, false) == CFilePath::kAdded) {
        keys.emplace_back();
    }

    Trace(u"m_pEnvPath(src) -> m_pSendPath(src, dst)");
    for (int i = 0; i < m_pEnvPath->Count(); ++i) {
        const os::WString source = m_pEnvPath->SrcAt(i);
        const SplitPathParts parts = SplitPath(source);
        const os::WString& key = keys[static_cast<size_t>(i)];
        const os::WString dest =
            staging + (key.empty() ? u"" : u"\\" + key) + u"\\" + parts.name + parts.ext;
        Trace(u"sSrcPath=", source);
        Trace(u"sDstPath=", dest);
        m_pSendPath->AddPair(source, dest, true);
    }
    m_pSendPath->m_nCurrent = 0;
    return true;
}
