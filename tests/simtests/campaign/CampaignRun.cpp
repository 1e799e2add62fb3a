// Driving one campaign run through the program's own windows, as its two users would.
#include "simtests/campaign/CampaignRun.h"

#include <random>

#include "app/TandrixDlg.h"
#include "net/Sockets.h"
#include "os/Text.h"
#include "resource.h"
#include "sim/SimDialogWindow.h"
#include "sim/SimWorld.h"
#include "simtests/ScreenPoints.h"
#include "simtests/TwoPcKit.h"

namespace campaign {

namespace {

// A run ends well within this much virtual time, or it hangs.
constexpr uint64_t kVirtualBudgetMs = 3ull * 60 * 60 * 1000;
constexpr uint64_t kHandOverBudget = 1'000'000;
constexpr int kMaxBoxes = 200;
// Free space a full drive is left with: below the 130 units at which the copy stops.
constexpr uint64_t kLowFreeBytes = 100'000'000;

const char16_t kProgramFilesQuestion[] = u"ProgramFilesフォルダをコピーしますか？";
const char16_t kStopQuestion[] = u"中断してもよろしいですか？";

class CampaignRun {
  public:
    CampaignRun(uint64_t seed, uint32_t allowed) : m_world(seed), m_rng(seed ^ 0xFA17) {
        twopc::AddTwoPcs(m_world, m_src, m_dst);
        m_world.SetBudget(kHandOverBudget, kVirtualBudgetMs);
        m_plan = DrawPlan(seed, allowed, m_src->fs());
        m_report.seed = seed;
        m_report.mode = m_plan.mode;
        m_report.entries = static_cast<int>(m_plan.entries.size());
    }

    RunReport Run(const Tamper& tamper) {
        if (StartBoth() && Pair()) {
            InjectIntoTheNetwork();
            m_report.injected = m_plan.injected & ~m_notInjected;
            if (StartCopy() && RunWithTimedFaults() && Settle() && CopyHasEnded()) {
                Check(tamper);
            }
        }
        m_report.injected = m_plan.injected & ~m_notInjected;
        m_report.faults = m_plan.faultCount - m_skippedFaults;
        m_report.boxes = m_boxes;
        m_report.handOvers = m_world.HandOvers();
        m_report.virtualMs = m_world.NowMs();
        m_report.passed = m_report.reason.empty();
        return m_report;
    }

  private:
    bool Fail(const std::string& reason) {
        if (m_report.reason.empty()) {
            m_report.reason = reason;
        }
        return false;
    }

    CTandrixDlg* Main(sim::SimPc& pc) {
        if (m_world.Finished(pc)) {
            return nullptr;
        }
        sim::SimDialogWindow* window = pc.ui().FindWindow(IDD_TANDRIX_DIALOG);
        return window ? dynamic_cast<CTandrixDlg*>(&window->Dialog()) : nullptr;
    }

    int Answer(const sim::SimBox& box) {
        if (box.text == kStopQuestion) {
            return m_stopAnswer;
        }
        if (box.text.rfind(kProgramFilesQuestion, 0) == 0) {
            return m_plan.programFiles ? os::kIdYes : os::kIdNo;
        }
        return (box.type & 0xF) == os::kMbYesNo ? os::kIdYes : os::kIdOk;
    }

    // Runs until the world falls idle, answering every message box on the way.
    bool Settle() {
        for (int boxes = 0; boxes < kMaxBoxes; ++boxes) {
            if (!m_world.RunUntilIdle()) {
                return Fail("hang: " + m_world.Failure());
            }
            if (!AnswerOneBox()) {
                return Healthy();
            }
        }
        return Fail("hang: message boxes keep coming");
    }

    bool AnswerOneBox() {
        for (sim::SimPc* pc : {m_src, m_dst}) {
            if (m_world.Finished(*pc)) {
                continue;
            }
            if (const sim::SimBox* box = pc->ui().OpenBox()) {
                const int answer = Answer(*box);
                m_boxes.push_back({pc == m_src ? "source" : "destination", box->text, answer});
                pc->ui().AnswerBox(answer);
                return true;
            }
        }
        return false;
    }

    bool Healthy() {
        for (sim::SimPc* pc : {m_src, m_dst}) {
            if (!m_world.Error(*pc).empty()) {
                return Fail("crash on " +
                            std::string(pc == m_src ? "the source" : "the destination") + ": " +
                            m_world.Error(*pc));
            }
        }
        return true;
    }

    bool StartBoth() {
        twopc::StartTwoPrograms(m_world, *m_src, *m_dst);
        if (!Settle()) {
            return false;
        }
        CTandrixDlg* s = Main(*m_src);
        CTandrixDlg* d = Main(*m_dst);
        return (s && d && s->m_nPcRole == 1 && d->m_nPcRole == 2) ||
               Fail("set-up: the roles were not taken");
    }

    // The source's user opens the file-list dialog and closes it again: the PCs pair.
    bool Pair() {
        m_src->ui().ClickAt(screen::kFileCopyButton).In(IDD_TANDRIX_DIALOG);
        if (!Settle()) {
            return false;
        }
        if (m_src->ui().FindWindow(IDD_FILELIST)) {
            m_src->ui().PressEscape().In(IDD_FILELIST);
            if (!Settle()) {
                return false;
            }
        }
        CTandrixDlg* s = Main(*m_src);
        CTandrixDlg* d = Main(*m_dst);
        if (!s || !d || !s->m_bDrivesExchanged || !d->m_bDrivesExchanged) {
            return Fail("set-up: the PCs did not pair");
        }
        m_baseBefore = TakeOutsideSnapshots();
        return true;
    }

    sim::StreamSelector Forward() const {
        return {m_src->address(), m_dst->address(), sim::SimSide::Connector};
    }

    void InjectIntoTheNetwork() {
        sim::Network& net = m_world.net();
        if (m_plan.randomSplit) {
            net.SetReadSplit(sim::ReadSplit::Random());
        }
        if (m_plan.slowMs > 0) {
            for (const sim::SimSide side : {sim::SimSide::Connector, sim::SimSide::Acceptor}) {
                net.Delay({m_src->address(), m_dst->address(), side}, m_plan.slowMs);
                net.Delay({m_dst->address(), m_src->address(), side}, m_plan.slowMs);
            }
        }
        const uint64_t start = net.BytesSent(Forward());
        for (const auto& [kind, fraction] : m_plan.streamFaults) {
            const uint64_t offset =
                start + static_cast<uint64_t>(fraction * static_cast<double>(m_plan.payloadBytes));
            switch (kind) {
                case kCorrupt: {
                    // A frame of the stream goes wrong (TCP itself never hands over a changed
                    // byte of file data): a file or folder header, at one of its first three bytes.
                    const char kind = m_rng() % 2 == 0 ? '\x01' : '\x02';
                    net.CorruptPatternAfter(Forward(), offset, std::string("%?") + kind,
                                            m_rng() % 3, static_cast<uint8_t>(1 + m_rng() % 255));
                    break;
                }
                case kCut:
                    net.CutAt(Forward(), offset);
                    break;
                default:
                    net.StallAt(Forward(), offset);
                    break;
            }
        }
    }

    bool StartCopy() {
        sim::SimUi& ui = m_src->ui();
        switch (m_plan.mode) {
            case 1:
                ui.ClickAt(screen::kWholeDriveButton).In(IDD_TANDRIX_DIALOG);
                break;
            case 2: {
                std::vector<os::WString> picks;
                for (const os::WString& item : m_plan.items) {
                    const bool folder = m_plan.entries[ItemEntry(item)].isDir;
                    picks.push_back(folder ? item + u"\\*.*" : item);
                }
                m_src->shell().QueueFilePick(picks);
                ui.ClickAt(screen::kFileCopyButton).In(IDD_TANDRIX_DIALOG);
                ui.ClickAt(screen::kListChoose).In(IDD_FILELIST);
                ui.ClickAt(screen::kListRun).In(IDD_FILELIST);
                break;
            }
            default:
                ui.ClickAt(screen::kFolderCopyButton).In(IDD_TANDRIX_DIALOG);
                for (const os::WString& item : m_plan.items) {
                    m_src->shell().QueueFolderPick({item});
                    ui.ClickAt(screen::kListChoose).In(IDD_FILELIST);
                }
                ui.ClickAt(screen::kListRun).In(IDD_FILELIST);
                break;
        }
        if (!Settle()) {
            return false;
        }
        if (!ui.FindWindow(IDD_DRIVE)) {
            return Fail("set-up: the destination drive was never asked for");
        }
        ui.SelectRow(IDC_DRIVE_LIST, m_plan.destRow).In(IDD_DRIVE);
        ui.PressEnter().In(IDD_DRIVE);
        return true;
    }

    size_t ItemEntry(const os::WString& item) const {
        for (size_t i = 0; i < m_plan.entries.size(); ++i) {
            if (m_plan.entries[i].source == item) {
                return i;
            }
        }
        return 0;
    }

    // Each timed fault strikes once the sending pass has handled its number of files; those
    // whose moment never comes are not counted as injected.
    bool RunWithTimedFaults() {
        for (size_t i = 0; i < m_plan.timed.size(); ++i) {
            const TimedFault& fault = m_plan.timed[i];
            CTandrixDlg* sender = Main(*m_src);
            const bool reached = sender && m_world.RunUntil([&] {
                return sender->m_nSendPass == 2 && sender->m_nFileIndex >= fault.atFile;
            });
            if (!reached) {
                if (m_world.LastStop() != sim::SimStop::Idle) {
                    return Fail("hang: " + m_world.Failure());
                }
                for (size_t j = i; j < m_plan.timed.size(); ++j) {
                    m_notInjected |= m_plan.timed[j].kind;
                    ++m_skippedFaults;
                }
                return true;
            }
            Strike(fault);
        }
        return true;
    }

    void Strike(const TimedFault& fault) {
        switch (fault.kind) {
            case kFullDrive:
                m_dst->fs().SetFreeSpaceOverride(DestLetter(), kLowFreeBytes);
                break;
            case kStopSource:
            case kStopDestination:
                m_stopAnswer = fault.confirm ? os::kIdYes : os::kIdNo;
                if (CTandrixDlg* dlg = Main(fault.kind == kStopSource ? *m_src : *m_dst)) {
                    dlg->Window().Post(kMsgStopRequest, 0);
                }
                break;
            default:
                break;
        }
    }

    char16_t DestLetter() {
        CTandrixDlg* s = Main(*m_src);
        return s ? s->m_sDestDrive.back() : (m_plan.destRow == 0 ? u'C' : u'D');
    }

    os::WString Base() { return os::WString(1, DestLetter()) + u":\\Ferrylo"; }

    // The copy is over on both PCs: no role, no progress window, nothing half done.
    bool CopyHasEnded() {
        for (sim::SimPc* pc : {m_src, m_dst}) {
            CTandrixDlg* dlg = Main(*pc);
            if (dlg && (dlg->m_nRole != 0 || dlg->m_bCopyInProgress || dlg->m_pProgress)) {
                return Fail("hang: the world fell idle with the copy still running on the " +
                            std::string(pc == m_src ? "source" : "destination") + " (role " +
                            std::to_string(dlg->m_nRole) + ", state " +
                            std::to_string(dlg->m_nCom) + ", pass " +
                            std::to_string(dlg->m_nSendPass) +
                            (dlg->m_bCopyInProgress ? ", marked in progress" : "") +
                            (dlg->m_pProgress ? ", progress window open" : "") + ")");
            }
        }
        return true;
    }

    // What the program may leave outside the base folder: the desktop shortcut and its own
    // work folder.
    std::vector<os::WString> AllowedOutside() {
        return {u"Users\\hanako\\Desktop\\" + os::WString(1, DestLetter()) +
                    u"ドライブに引っ越したファイル.lnk",
                u"Users\\hanako\\Documents\\ソラノワBasic\\"};
    }

    std::map<char16_t, OutsideSnapshot> TakeOutsideSnapshots() {
        // The base folder is not known before the drive choice: one snapshot per candidate.
        std::map<char16_t, OutsideSnapshot> out;
        for (const char16_t letter : {u'C', u'D'}) {
            out[letter] =
                TakeOutsideSnapshot(m_dst->fs(), os::WString(1, letter) + u":\\Ferrylo",
                                    {u"Users\\hanako\\Desktop\\" + os::WString(1, letter) +
                                         u"ドライブに引っ越したファイル.lnk",
                                     u"Users\\hanako\\Documents\\ソラノワBasic\\"});
        }
        return out;
    }

    void Check(const Tamper& tamper) {
        const os::WString base = Base();
        m_report.base = base;
        if (tamper) {
            tamper(m_dst->fs(), m_plan, base);
        }
        MigrationOutcome outcome;
        outcome.plan = &m_plan;
        outcome.source = &m_src->fs();
        outcome.destination = &m_dst->fs();
        outcome.base = base;
        outcome.sourceComputer = u"PC-A";
        outcome.boxes = m_boxes;
        outcome.outsideBefore = m_baseBefore[DestLetter()];
        outcome.allowedOutside = AllowedOutside();
        m_report.verdict = CheckMigration(outcome);
        if (!m_report.verdict.violations.empty()) {
            Fail(m_report.verdict.violations.front() +
                 (m_report.verdict.violations.size() > 1
                      ? " (+" + std::to_string(m_report.verdict.violations.size() - 1) + " more)"
                      : ""));
        }
    }

    sim::World m_world;
    std::mt19937_64 m_rng;
    sim::SimPc* m_src = nullptr;
    sim::SimPc* m_dst = nullptr;
    Plan m_plan;
    RunReport m_report;
    std::vector<SeenBox> m_boxes;
    std::map<char16_t, OutsideSnapshot> m_baseBefore;
    int m_stopAnswer = os::kIdYes;
    uint32_t m_notInjected = 0;
    int m_skippedFaults = 0;
};

const char* ModeName(int mode) {
    switch (mode) {
        case 1:
            return "whole drives";
        case 2:
            return "file list";
        default:
            return "folders";
    }
}

}  // namespace

RunReport RunCampaignSeed(uint64_t seed, uint32_t allowed, const Tamper& tamper) {
    CampaignRun run(seed, allowed);
    return run.Run(tamper);
}

std::string Describe(const RunReport& report) {
    return "seed " + std::to_string(report.seed) + " [" + ModeName(report.mode) + "; " +
           std::to_string(report.entries) + " entries; faults " + FaultNames(report.injected) +
           "]: " + (report.passed ? std::string("ok") : report.reason);
}

}  // namespace campaign
