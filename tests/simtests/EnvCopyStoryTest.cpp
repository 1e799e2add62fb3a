// The environment copy between two PCs: what the source's build step sends where, and how the
// destination moves what arrived into its user's folders without losing anything it had.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "TwoPcKit.h"
#include "modes/EnvCopy.h"
#include "os/Text.h"
#include "platform/Texts.h"
#include "transfer/CommandFrame.h"

namespace {

const os::WString kTaro = u"C:\\Users\\taro";
const os::WString kHanako = u"C:\\Users\\hanako";
const os::WString kStaging = u"C:\\Ferrylo\\Ferrylo_env_files";
const os::WString kReg = u"C:\\Ferrylo\\Ferrylo_env_files_reg";
const os::WString kDone = u"引越が終了しました。\n";
const os::WString kDoneWithLog =
    u"引越が終了しました。\n引越した結果は引越先のパソコンのC:\\Ferrylo\\FerryloLog.txtに保存しまし"
    u"た。\n\n";
const sim::SimTimes kOld{130000000000000000ull, 130000000000000000ull, 130000000000000000ull};

class EnvCopyStoryTest : public twopc::TwoPcTest {
  protected:
    // Pairs the PCs, then runs the environment copy of `flags` from the source.
    void EnvCopy(env::RunFlags flags) {
        OnMain(*src, "start the environment copy", [flags](CTandrixDlg& dlg) {
            dlg.m_nCopyMode = 3;
            dlg.RunEnvCopy(flags);
            dlg.Window().Enable(true);
        });
        Run();
    }

    static env::RunFlags Only(std::initializer_list<size_t> items) {
        env::RunFlags flags{};
        for (size_t item : items) {
            flags[item] = true;
        }
        return flags;
    }

    static env::RunFlags All() {
        return Only({env::kMyDoc, env::kMyPic, env::kMyVideo, env::kMyMusic, env::kDesktop});
    }

    std::vector<std::pair<os::WString, os::WString>> Pairs() {
        std::vector<std::pair<os::WString, os::WString>> out;
        const CFilePath& list = *Main(*src).m_pSendPath;
        for (int i = 0; i < list.Count(); ++i) {
            out.emplace_back(list.SrcAt(i), list.DstAt(i));
        }
        return out;
    }

    // Three documents wait in the destination's staging folder, as a copy leaves them, and the
    // two PCs are paired.
    void StageThreeDocumentsAndPair() {
        for (const char16_t* name : {u"a.txt", u"b.txt", u"c.txt"}) {
            ASSERT_TRUE(dst->fs().WriteFile(kStaging + u"\\MYDOC\\" + name, "x"));
        }
        ASSERT_TRUE(dst->fs().WriteFile(kStaging + u"\\order_list.txt", "MYDOC\r\n"));
        StartBoth();
        Pair();
    }

    std::string Read(sim::SimPc& pc, const os::WString& path) {
        return pc.fs().ReadFile(path).value_or("<missing>");
    }
};

TEST_F(EnvCopyStoryTest, TheBuildStepSendsEachItemsEntriesIntoItsStagingFolder) {
    sim::SimFileSystem& fs = src->fs();
    const os::WString docs = kTaro + u"\\Documents";
    // An older layout: music and favourites inside the documents.
    src->sys().SetFolder(os::kCsidlMyMusic, docs + u"\\My Music");
    src->sys().SetFolder(os::kCsidlFavorites, docs + u"\\Favorites");
    ASSERT_TRUE(fs.WriteFile(docs + u"\\報告書.docx", "r"));
    ASSERT_TRUE(fs.WriteFile(docs + u"\\Desktop.INI", "i"));
    ASSERT_TRUE(fs.WriteFile(docs + u"\\ソラノワBasic\\old.txt", "o"));
    ASSERT_TRUE(fs.WriteFile(docs + u"\\Favorites\\f.url", "f"));
    ASSERT_TRUE(fs.WriteFile(docs + u"\\My Music\\song.mp3", "s"));
    ASSERT_TRUE(fs.WriteFile(docs + u"\\My Music\\iTunes\\lib.xml", "l"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\Users\\Public\\Music\\itunes\\x.m4a", "x"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\Users\\Public\\Pictures\\p.jpg", "p"));
    ASSERT_TRUE(fs.WriteFile(kTaro + u"\\Videos\\v.mp4", "v"));
    for (const char16_t* name : {u"a.lnk", u"b.txt", u"c.LNK", u"desktop.ini"}) {
        ASSERT_TRUE(fs.WriteFile(kTaro + u"\\Desktop\\" + name, "d"));
    }
    StartBoth();
    Pair();

    std::string orderList;
    OnMain(*src, "build", [&](CTandrixDlg& dlg) {
        dlg.m_sDestDrive.back() = u'D';
        dlg.DoEnvCopy(All());
        orderList = Read(*src, docs + u"\\ソラノワBasic\\work\\order_list.txt");
        dlg.Window().Enable(true);
    });
    Run();
    const os::WString st = u"D:\\Ferrylo\\Ferrylo_env_files";
    EXPECT_EQ(Main(*src).m_pSendPath->FolderText(), u"D:\\Ferrylo" + st);
    EXPECT_EQ(Pairs(),
              (std::vector<std::pair<os::WString, os::WString>>{
                  {docs + u"\\報告書.docx", st + u"\\MYDOC\\報告書.docx"},
                  {u"C:\\Users\\Public\\Pictures\\p.jpg", st + u"\\MYPIC2\\p.jpg"},
                  {kTaro + u"\\Videos\\v.mp4", st + u"\\MYVIDEO\\v.mp4"},
                  {docs + u"\\My Music\\song.mp3", st + u"\\MYMUSIC\\song.mp3"},
                  {u"C:\\Users\\Public\\Music\\itunes", st + u"\\MYMUSIC2\\itunes"},
                  {kTaro + u"\\Desktop\\b.txt", st + u"\\DESKTOP\\b.txt"},
                  {kTaro + u"\\Desktop\\c.LNK", st + u"\\DESKTOP\\c.LNK"},
                  // the folder this program runs from
                  {kTaro + u"\\Desktop\\tandrix", st + u"\\DESKTOP\\tandrix"},
                  {docs + u"\\ソラノワBasic\\work\\order_list.txt", st + u"\\order_list.txt"},
              }));
    EXPECT_EQ(orderList, "MYDOC\r\nMYPIC2\r\nMYVIDEO\r\nMYMUSIC\r\nMYMUSIC2\r\nDESKTOP\r\n");

    // A destination on XP has no public folders to fill.
    OnMain(*src, "build for XP", [&](CTandrixDlg& dlg) {
        dlg.m_peer.m_nRemoteOSVer = 0x80;
        dlg.DoEnvCopy(Only({env::kMyPic, env::kMyMusic}));
        orderList = Read(*src, docs + u"\\ソラノワBasic\\work\\order_list.txt");
        dlg.Window().Enable(true);
    });
    Run();
    EXPECT_EQ(orderList, "MYMUSIC\r\n");
    EXPECT_EQ(Pairs().size(), 2u);

    // Without a pictures folder of the user's own, the public one stays too.
    src->sys().RemoveFolder(os::kCsidlMyPictures);
    OnMain(*src, "build without pictures", [&](CTandrixDlg& dlg) {
        dlg.m_peer.m_nRemoteOSVer = 0x800;
        dlg.DoEnvCopy(Only({env::kMyPic}));
        orderList = Read(*src, docs + u"\\ソラノワBasic\\work\\order_list.txt");
        dlg.Window().Enable(true);
    });
    Run();
    EXPECT_EQ(orderList, "");
}

TEST_F(EnvCopyStoryTest, AnXpSourceSendsPicturesInsideDocumentsOnlyAsPictures) {
    const os::WString docs = u"C:\\Documents and Settings\\taro\\My Documents";
    src->sys().SetVersion({2, 5, 1, 2600, u"Service Pack 3", 0x100, os::kProductWorkstation});
    src->sys().SetFolder(os::kCsidlPersonal, docs);
    src->sys().SetFolder(os::kCsidlMyPictures, docs + u"\\My Pictures");
    ASSERT_TRUE(src->fs().WriteFile(docs + u"\\My Pictures\\cat.jpg", "cat"));
    ASSERT_TRUE(src->fs().WriteFile(docs + u"\\memo.txt", "memo"));
    StartBoth();
    Pair();

    EnvCopy(Only({env::kMyDoc}));
    EXPECT_EQ(TakeBox(*src), kDone);
    EXPECT_EQ(Read(*dst, kHanako + u"\\Documents\\memo.txt"), "memo");
    EXPECT_FALSE(dst->fs().Exists(kHanako + u"\\Documents\\My Pictures"));

    EnvCopy(Only({env::kMyDoc, env::kMyPic}));
    EXPECT_EQ(TakeBox(*src), kDone);
    EXPECT_EQ(Read(*dst, kHanako + u"\\Pictures\\cat.jpg"), "cat");
    EXPECT_FALSE(dst->fs().Exists(kHanako + u"\\Documents\\My Pictures"));
}

TEST_F(EnvCopyStoryTest, AWindows2000DestinationIsRefused) {
    dst->sys().SetVersion({2, 5, 0, 2195, u"", 0, os::kProductWorkstation});
    StartBoth();
    OnMain(*src, "click the environment copy", [](CTandrixDlg& dlg) { dlg.OnCopyCommand(3); });
    Run();
    EXPECT_EQ(TakeBox(*src), texts::kEnvCopyRefused);
    EXPECT_EQ(Main(*dst).m_nRole, 0);
    EXPECT_FALSE(dst->fs().Exists(kStaging));
}

TEST_F(EnvCopyStoryTest, TheEnvironmentArrivesInTheUsersFoldersKeepingTheirOwnFiles) {
    sim::SimFileSystem& a = src->fs();
    sim::SimFileSystem& b = dst->fs();
    ASSERT_TRUE(a.WriteFile(kTaro + u"\\Documents\\報告書.docx", "new report"));
    ASSERT_TRUE(a.WriteFile(kTaro + u"\\Documents\\同じ.txt", "same", os::kAttrArchive, kOld));
    ASSERT_TRUE(a.WriteFile(kTaro + u"\\Documents\\手紙\\母へ.txt", "letter"));
    ASSERT_TRUE(a.WriteFile(kTaro + u"\\Pictures\\旅行.jpg", "jpeg"));
    ASSERT_TRUE(a.WriteFile(kTaro + u"\\Music\\iTunes\\lib.xml", "itunes"));
    ASSERT_TRUE(a.WriteFile(kTaro + u"\\Music\\歌.mp3", "song"));
    ASSERT_TRUE(a.WriteFile(u"C:\\Users\\Public\\Videos\\共有.mp4", "shared"));
    ASSERT_TRUE(a.WriteFile(kTaro + u"\\Desktop\\メモ.txt", "desk"));
    ASSERT_TRUE(a.WriteFile(kTaro + u"\\Desktop\\ショートカット.lnk", "link"));
    ASSERT_TRUE(a.WriteFile(kTaro + u"\\Desktop\\desktop.ini", "ini"));
    // hanako already has a report of her own, a copy of 同じ.txt, and a file named like a folder
    // that arrives.
    ASSERT_TRUE(b.WriteFile(kHanako + u"\\Documents\\報告書.docx", "hanako's report"));
    ASSERT_TRUE(b.WriteFile(kHanako + u"\\Documents\\同じ.txt", "same", os::kAttrArchive, kOld));
    ASSERT_TRUE(b.WriteFile(kHanako + u"\\Documents\\手紙", "a file, not a folder"));
    StartBoth();
    Pair();
    OnMain(*src, "an earlier copy went to D",
           [](CTandrixDlg& dlg) { dlg.m_sDestDrive.back() = u'D'; });

    EnvCopy(All());
    EXPECT_EQ(TakeBox(*src), kDone);
    EXPECT_EQ(Main(*src).m_sDestDrive, u"ドライブ：C") << "the destination's system drive";
    const os::WString docs = kHanako + u"\\Documents";
    EXPECT_EQ(Read(*dst, docs + u"\\報告書.docx"), "hanako's report");
    EXPECT_EQ(Read(*dst, docs + u"\\報告書 (2).docx"), "new report");
    EXPECT_EQ(Read(*dst, docs + u"\\同じ.txt"), "same");
    EXPECT_FALSE(b.Exists(docs + u"\\同じ (2).txt")) << "an identical file is simply replaced";
    EXPECT_EQ(Read(*dst, docs + u"\\手紙"), "a file, not a folder");
    EXPECT_EQ(Read(*dst, docs + u"\\手紙 (2)\\母へ.txt"), "letter");
    EXPECT_EQ(Read(*dst, kHanako + u"\\Pictures\\旅行.jpg"), "jpeg");
    EXPECT_EQ(Read(*dst, kHanako + u"\\Music\\歌.mp3"), "song");
    EXPECT_FALSE(b.Exists(kHanako + u"\\Music\\iTunes"));
    EXPECT_EQ(Read(*dst, u"C:\\Users\\Public\\Videos\\共有.mp4"), "shared");
    EXPECT_EQ(Read(*dst, kHanako + u"\\Desktop\\メモ.txt"), "desk");
    EXPECT_FALSE(b.Exists(kHanako + u"\\Desktop\\ショートカット.lnk"));
    EXPECT_FALSE(b.Exists(kHanako + u"\\Desktop\\desktop.ini"));
    EXPECT_FALSE(b.Exists(kStaging));
    EXPECT_EQ(b.Dump(kReg, false).find("MYDOC"), std::string::npos) << b.Dump(kReg, false);
    EXPECT_FALSE(b.Exists(u"C:\\Ferrylo\\FerryloLog.txt"));

    // Both renamed arrivals are listed where hanako sees them.
    const std::string report = Read(*dst, u"C:\\Ferrylo\\FerryloEnvLog.txt");
    EXPECT_NE(report.find(os::ToUtf8(docs + u"\\報告書 (2).docx")), std::string::npos) << report;
    EXPECT_NE(report.find(os::ToUtf8(docs + u"\\手紙 (2)")), std::string::npos) << report;
    ASSERT_FALSE(dst->shell().Calls().empty());
    EXPECT_EQ(dst->shell().Calls().back().path, u"C:\\Ferrylo\\FerryloEnvLog.txt");
}

TEST_F(EnvCopyStoryTest, AFileInUseWaitsForTheRestartWithoutReplacingAnything) {
    ASSERT_TRUE(
        src->fs().WriteFile(kTaro + u"\\Documents\\家計簿.xlsx", "v1", os::kAttrArchive, kOld));
    const os::WString mine = kHanako + u"\\Documents\\家計簿.xlsx";
    ASSERT_TRUE(dst->fs().WriteFile(mine, "v1", os::kAttrArchive, kOld));
    ASSERT_TRUE(dst->fs().SetLocked(mine, true));  // open in hanako's spreadsheet program
    StartBoth();
    Pair();

    EnvCopy(Only({env::kMyDoc}));
    EXPECT_EQ(TakeBox(*src), kDone);
    ASSERT_EQ(dst->fs().PendingMoves().size(), 1u);
    const sim::SimPendingMove first = dst->fs().PendingMoves()[0];
    EXPECT_EQ(first.from, kReg + u"\\MYDOC\\家計簿.xlsx");
    EXPECT_EQ(first.to, kHanako + u"\\Documents\\家計簿 (2).xlsx");
    EXPECT_EQ(first.flags, os::kMoveDelayUntilReboot) << "a restart move never replaces";
    EXPECT_NE(Read(*dst, u"C:\\Ferrylo\\FerryloEnvLog.txt").find(os::ToUtf8(first.to)),
              std::string::npos);

    // Another copy before the restart leaves the waiting file where the restart looks for it.
    EnvCopy(Only({env::kMyDoc}));
    EXPECT_EQ(TakeBox(*src), kDone);
    EXPECT_EQ(Read(*dst, first.from), "v1");
    ASSERT_EQ(dst->fs().PendingMoves().size(), 2u);
    EXPECT_EQ(dst->fs().PendingMoves()[1].from, kReg + u"2\\MYDOC\\家計簿.xlsx");
    EXPECT_EQ(Read(*dst, mine), "v1");
}

TEST_F(EnvCopyStoryTest, AStagingFolderThatCannotMoveAsideIsReportedAndNothingOldIsReplayed) {
    ASSERT_TRUE(src->fs().WriteFile(kTaro + u"\\Documents\\new.txt", "new"));
    // Left from an earlier copy: a list and a file that never got home.
    ASSERT_TRUE(dst->fs().WriteFile(kReg + u"\\order_list.txt", "MYDOC\r\n"));
    ASSERT_TRUE(dst->fs().WriteFile(kReg + u"\\MYDOC\\old.txt", "old"));
    ASSERT_TRUE(dst->fs().WriteFile(kStaging + u"\\busy.txt", "busy"));
    ASSERT_TRUE(dst->fs().SetLocked(kStaging + u"\\busy.txt", true));
    StartBoth();
    Pair();

    EnvCopy(Only({env::kMyDoc}));
    EXPECT_EQ(TakeBox(*src), kDoneWithLog);
    EXPECT_EQ(TakeBox(*dst), texts::kEnvRegisterFailed + kStaging);
    EXPECT_EQ(Read(*dst, kStaging + u"\\MYDOC\\new.txt"), "new");
    EXPECT_FALSE(dst->fs().Exists(kHanako + u"\\Documents\\new.txt"));
    EXPECT_FALSE(dst->fs().Exists(kHanako + u"\\Documents\\old.txt"));
    EXPECT_NE(Read(*dst, u"C:\\Ferrylo\\FerryloLog.txt").find(os::ToUtf8(kStaging)),
              std::string::npos);
}

TEST_F(EnvCopyStoryTest, AnUnknownDestinationFolderIsSkippedAndReported) {
    ASSERT_TRUE(src->fs().WriteFile(kTaro + u"\\Music\\歌.mp3", "song"));
    ASSERT_TRUE(src->fs().WriteFile(kTaro + u"\\Desktop\\メモ.txt", "desk"));
    dst->sys().RemoveFolder(os::kCsidlMyMusic);
    dst->sys().RemoveFolder(os::kCsidlDesktopDirectory);
    StartBoth();
    Pair();

    EnvCopy(Only({env::kMyMusic, env::kDesktop}));
    EXPECT_EQ(TakeBox(*src), kDoneWithLog);
    EXPECT_EQ(Read(*dst, kHanako + u"\\Documents\\歌.mp3"), "song") << "documents stand in";
    EXPECT_EQ(Read(*dst, kReg + u"\\DESKTOP\\メモ.txt"), "desk");
    EXPECT_FALSE(dst->fs().Exists(u"C:\\メモ.txt"));
    EXPECT_NE(Read(*dst, u"C:\\Ferrylo\\FerryloLog.txt").find(os::ToUtf8(kReg + u"\\DESKTOP")),
              std::string::npos);
    EXPECT_NE(Read(*dst, u"C:\\Ferrylo\\FerryloEnvLog.txt").find(os::ToUtf8(kReg + u"\\DESKTOP")),
              std::string::npos);
}

TEST_F(EnvCopyStoryTest, WhileTheItemsMoveTheWindowSaysSoNoCopyStartsAndThePartnersBytesWait) {
    StageThreeDocumentsAndPair();

    int roleDuring = -1;
    bool registering = false;
    bool shownDuring = false;
    OnMain(*dst, "register", [&](CTandrixDlg& dlg) {
        dst->ui()
            .Do("a copy command and the partner's SENDCOUNTBEGIN arrive",
                [&](sim::SimDialogWindow& window) {
                    CTandrixDlg& d = twopc::MainDialog(window);
                    registering = d.m_bEnvRegistering;
                    shownDuring = sim::FindText(window.LastPaint(), texts::kEnvMoving) != nullptr;
                    d.OnCopyCommand(1);
                    const std::string frame = wire::MakeFrame(wire::Command::SENDCOUNTBEGIN);
                    d.OnStateData(frame.c_str(), frame.size());
                    roleDuring = d.m_nRole;
                })
            .AsInput();
        dlg.DoEnvRegister(false);
    });
    Run();
    EXPECT_TRUE(registering);
    EXPECT_TRUE(shownDuring) << "the window says that the items are moving";
    sim::SimDialogWindow* window = dst->ui().FindWindow(IDD_TANDRIX_DIALOG);
    window->Paint();
    EXPECT_EQ(sim::FindText(window->LastPaint(), texts::kEnvMoving), nullptr);
    EXPECT_EQ(roleDuring, 0);
    EXPECT_EQ(dst->ui().OpenBox(), nullptr) << "no copy started on the destination";
    EXPECT_EQ(Main(*dst).m_nRole, 2) << "the partner's copy starts once the items are home";
    EXPECT_EQ(Read(*dst, kHanako + u"\\Documents\\c.txt"), "x");
}

TEST_F(EnvCopyStoryTest, EndPressedWhileTheItemsMoveEndsTheProgramOnceTheyAreHome) {
    StageThreeDocumentsAndPair();
    OnMain(*src, "the source waits for the result of its copy", [](CTandrixDlg& dlg) {
        dlg.m_nRole = 1;
        dlg.m_nCopyMode = 3;
    });
    Run();

    bool endedDuring = true;
    OnMain(*dst, "register", [&](CTandrixDlg& dlg) {
        dst->ui()
            .Do("終了",
                [&](sim::SimDialogWindow& window) {
                    twopc::MainDialog(window).OnCancel();
                    endedDuring = window.Ended();
                })
            .AsInput();
        dlg.DoEnvRegister(false);
    });
    Run();
    EXPECT_FALSE(endedDuring) << "the move is not cut short";
    EXPECT_EQ(Read(*dst, kHanako + u"\\Documents\\c.txt"), "x");
    // The source has its answer; the partner's leaving may follow it.
    std::vector<os::WString> boxes;
    for (os::WString box; !(box = TakeBox(*src)).empty();) {
        boxes.push_back(box);
    }
    EXPECT_NE(std::find(boxes.begin(), boxes.end(), kDone), boxes.end());
    EXPECT_EQ(dst->ui().FindWindow(IDD_TANDRIX_DIALOG), nullptr) << "then the program ends";
}

}  // namespace
