// Environment copy, destination side: moving the received items into this PC's folders.
#include "modes/EnvRegister.h"

#include <string>
#include <utility>

#include "app/TandrixDlg.h"
#include "os/Text.h"
#include "platform/FileOps.h"
#include "platform/FolderPathInfo.h"
#include "platform/PathLog.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "platform/Trace.h"
#include "transfer/CommandFrame.h"

namespace env {

namespace {

constexpr int kMaxRegistrationFolders = 99;
constexpr int kMaxKeepBothNumber = 9999;
constexpr size_t kMaxOrderList = 65536;
constexpr size_t kOrderLineBuffer = 256;  // longest line taken, with its line break

// One file of the tree: moved now, or at the next restart under a name that is free today,
// so that the restart never replaces anything; a different file already at the target stays
// and the arriving one takes a "keep both" name.
void MoveOneFile(os::FileSystem& fs, const os::FindData& record, const os::WString& file,
                 os::WString target, RegisterReport& report) {
    os::FindData existing;
    const bool exists = fs.FindFirst(target, existing) != nullptr;
    const bool identical = exists && (existing.attributes & os::kAttrDirectory) == 0 &&
                           existing.size == record.size &&
                           existing.lastWriteTime == record.lastWriteTime;
    bool renamed = false;
    if (exists && !identical) {
        target = KeepBothName(fs, target);
        renamed = true;
        if (target.empty()) {
            report.leftBehind.push_back(file);
            return;
        }
    }
    const uint32_t attributes = fs.GetAttributes(file);
    if (attributes != os::kInvalidAttributes) {
        fs.SetAttributes(file, os::kAttrNormal);
    }
    const uint32_t targetAttributes = identical ? existing.attributes : os::kInvalidAttributes;
    if (identical) {
        fs.SetAttributes(target, os::kAttrNormal);
    }
    if (fs.MoveFile(file, target, os::kMoveReplaceExisting | os::kMoveCopyAllowed)) {
        if (attributes != os::kInvalidAttributes) {
            fs.SetAttributes(target, attributes);
        }
        if (renamed) {
            report.renamed.push_back(target);
        }
        return;
    }
    if (identical) {
        fs.SetAttributes(target, targetAttributes);
    }
    if (attributes != os::kInvalidAttributes) {
        fs.SetAttributes(file, attributes);
    }
    const os::WString later = PathExists(fs, target) ? KeepBothName(fs, target) : target;
    if (!later.empty() && fs.MoveFile(file, later, os::kMoveDelayUntilReboot)) {
        report.waiting.push_back(later);
    } else {
        report.leftBehind.push_back(file);
    }
}

// Moves the contents of `src` into `dst`, folder by folder, and removes what it emptied. A
// folder whose name is taken by a file below `dst` arrives under a "keep both" name.
void MoveTree(os::FileSystem& fs, os::Ui* ui, const os::WString& src, const os::WString& dst,
              RegisterReport& report) {
    fs.CreateDirectory(dst);
    std::vector<os::FindData> entries;
    os::FindData record;
    if (auto find = fs.FindFirst(src + u"\\*.*", record)) {
        do {
            if (record.name != u"." && record.name != u"..") {
                entries.push_back(record);
            }
        } while (find->Next(record));
    }
    for (const os::FindData& entry : entries) {
        const os::WString from = src + u"\\" + entry.name;
        os::WString to = dst + u"\\" + entry.name;
        if ((entry.attributes & os::kAttrDirectory) != 0) {
            if (PathExists(fs, to) && !IsDirectory(fs, to)) {
                to = KeepBothName(fs, to);
                if (to.empty()) {
                    report.leftBehind.push_back(from);
                    continue;
                }
                report.renamed.push_back(to);
            }
            MoveTree(fs, ui, from, to, report);
            continue;
        }
        MoveOneFile(fs, entry, from, to, report);
        if (ui != nullptr && ui->MainWindow() != nullptr) {
            ui->PumpMessages();
        }
    }
    fs.RemoveDirectory(src);  // only when emptied; what stays is in the report
}

// A registration folder may be reused only when nothing of the user's is left in it: files
// that wait for the restart, or could not move, are still there.
bool HoldsOnlyOrderList(os::FileSystem& fs, const os::WString& folder) {
    std::vector<os::WString> files;
    CollectFiles(fs, folder + u"\\*.*", files);
    for (const os::WString& file : files) {
        if (!os::EqualsNoCase(file, folder + u"\\" + kOrderListName)) {
            return false;
        }
    }
    return true;
}

// The registration folder this copy moves its staging folder to: one that does not exist
// (an older one is removed when only its list is left in it). Empty when none is free.
os::WString FreeRegistrationFolder(os::FileSystem& fs, os::System& sys, const os::WString& base) {
    for (int n = 1; n <= kMaxRegistrationFolders; ++n) {
        const os::WString path =
            base + u"\\" + kRegistrationName + (n == 1 ? os::WString() : os::ToWString(n));
        if (IsDirectory(fs, path) && HoldsOnlyOrderList(fs, path)) {
            RemoveDirRecursive2(fs, sys, path, true);
        }
        if (!PathExists(fs, path)) {
            return path;
        }
    }
    return os::WString();
}

// The keys of "order_list.txt": lines ended by a line break, at most one buffer long.
std::vector<os::WString> ReadOrderList(os::File& file) {
    std::string text;
    char buffer[4096];
    uint32_t got = 0;
    while (text.size() < kMaxOrderList && file.Read(buffer, sizeof buffer, got) && got > 0) {
        text.append(buffer, got);
    }
    std::vector<os::WString> keys;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() + 1 >= kOrderLineBuffer) {
            continue;
        }
        keys.push_back(os::FromAscii(line.substr(0, line.find('\\'))));
    }
    return keys;
}

os::WString DestinationOf(const MoveItem& item, const Locations& here) {
    const os::WString& folder = here.*item.own;
    const bool documentsStandIn = item.own == &Locations::pictures ||
                                  item.own == &Locations::videos || item.own == &Locations::music;
    return folder.empty() && documentsStandIn ? here.documents : folder;
}

}  // namespace

os::WString KeepBothName(os::FileSystem& fs, const os::WString& path) {
    const SplitPathParts parts = SplitPath(path);
    os::WString name = parts.name;
    os::WString ext = parts.ext;
    if (name.empty()) {  // ".profile" is all name
        name = ext;
        ext.clear();
    }
    for (int n = 2; n <= kMaxKeepBothNumber; ++n) {
        const os::WString candidate =
            parts.drive + parts.dir + name + u" (" + os::ToWString(n) + u")" + ext;
        if (!PathExists(fs, candidate)) {
            return candidate;
        }
    }
    return os::WString();
}

RegisterReport RegisterReceivedFiles(os::FileSystem& fs, os::System& sys, os::Ui* ui,
                                     char16_t letter, const Locations& here) {
    RegisterReport report;
    const os::WString base = os::WString(1, letter) + u":\\Ferrylo";
    const os::WString staging = base + u"\\" + kStagingName;
    const os::WString registration = FreeRegistrationFolder(fs, sys, base);
    // Only the list that came with this copy is ever read: when the staging folder cannot be
    // moved aside, nothing is moved and the files stay where they arrived.
    if (registration.empty() ||
        !fs.MoveFile(staging, registration, os::kMoveReplaceExisting | os::kMoveCopyAllowed)) {
        Trace(u"DoEnvRegister() MoveFile return false. LastError = ",
              sys.ErrorText(fs.LastError()));
        report.filesLeftIn = staging;
        return report;
    }
    auto list = fs.Open(registration + u"\\" + kOrderListName, os::OpenMode::Read);
    if (!list) {
        report.filesLeftIn = registration;
        return report;
    }
    report.listRead = true;
    for (const os::WString& key : ReadOrderList(*list)) {
        for (const MoveItem& item : kMoveItems) {
            if (key != item.key) {
                continue;
            }
            Trace(item.destinationTrace);
            const os::WString from = registration + u"\\" + item.key;
            const os::WString to = StripSuffix(DestinationOf(item, here), u"\\");
            if (!IsDirectory(fs, from)) {
                break;
            }
            // An unknown folder is never replaced by a path at the root of a drive.
            if (to.empty()) {
                report.skipped.push_back(from);
                break;
            }
            CreateDirRecursive(fs, to);
            MoveTree(fs, ui, from, to, report);
            break;
        }
        if (ui != nullptr && ui->MainWindow() != nullptr) {
            ui->PumpMessages();
        }
    }
    return report;
}

os::WString ReportText(const RegisterReport& report) {
    os::WString text;
    const auto section = [&text](const char16_t* title, const std::vector<os::WString>& paths) {
        if (paths.empty()) {
            return;
        }
        text += os::WString(title) + u"\n";
        for (const os::WString& path : paths) {
            text += path + u"\n";
        }
        text += u"\n";
    };
    if (!report.listRead) {
        section(u"受信したファイルを移動できませんでした。ファイルは次のフォルダに残っています。",
                {report.filesLeftIn});
    }
    section(u"同じ名前の別のファイルが既にあったため、次の名前で保存しました。", report.renamed);
    section(u"使用中のため、次にパソコンを再起動したときに次の場所に移動されます。",
            report.waiting);
    section(u"移動できなかったファイルです。次の場所に残っています。", report.leftBehind);
    section(
        u"このパソコンに移動先のフォルダがないため、移動しませんでした。ファイルは次のフォルダ"
        u"に残っています。",
        report.skipped);
    return text;
}

}  // namespace env

bool CTandrixDlg::DoEnvRegister(bool errorsListed) {
    m_bEnvRegistering = true;
    // The window says what happens before the first item moves, which may take long.
    Repaint();
    if (m_os.ui.MainWindow() != nullptr) {
        m_os.ui.PumpMessages();
    }
    const char16_t letter = os::FoldUpper(m_chDestDrive);
    const os::WString base = os::WString(1, letter) + u":\\Ferrylo";
    const os::WString reportFile = base + u"\\" + texts::kEnvReportName;
    m_os.fs.SetAttributes(reportFile, os::kAttrNormal);
    m_os.fs.DeleteFile(reportFile);

    const env::RegisterReport report = env::RegisterReceivedFiles(
        m_os.fs, m_os.sys, &m_os.ui, letter, env::ReadLocations(*m_pFolderInfo));
    const os::WString text = env::ReportText(report);
    if (!text.empty()) {
        AppendUtf8Text(m_os.fs, reportFile, text);
    }
    if (report.Failed()) {
        // The source's closing message sends its user to the error list: it names where the
        // files that did not get home are.
        const os::WString errorList = base + u"\\" + texts::kErrorListName;
        os::WString lines = PathExists(m_os.fs, errorList) ? u"" : texts::kErrorListHeader;
        if (!report.listRead) {
            lines += report.filesLeftIn + u"\n";
        }
        for (const auto* paths : {&report.leftBehind, &report.skipped}) {
            for (const os::WString& path : *paths) {
                lines += path + u"\n";
            }
        }
        AppendUtf8Text(m_os.fs, errorList, lines);
    }
    const bool missing = errorsListed || report.Failed();
    SendFrame(
        static_cast<int>(missing ? wire::Command::GOTERROFCOPY : wire::Command::GOTNOERROFCOPY));
    m_bEnvRegistering = false;
    Repaint();
    if (!m_heldIncoming.empty()) {
        std::string held;
        held.swap(m_heldIncoming);
        OnStateData(held.c_str(), held.size());
    }
    if (!report.listRead) {
        ShowMessage(m_os.ui, texts::kEnvRegisterFailed + report.filesLeftIn);
    }
    if (!text.empty()) {
        m_os.shell.Open(u"open", reportFile);
    }
    if (std::exchange(m_bExitAfterRegister, false)) {
        OnCancel();
    }
    return report.listRead;
}
