// The environment copy's selection dialog: which items of the environment move, as check
// boxes on an embedded white panel. The object lives as long as the program, so the choice
// carries over from one environment copy to the next. Painted like the file list, with run,
// cancel and manual buttons; its standard buttons are hidden.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "modes/DlgEnvListChks.h"
#include "modes/EnvItems.h"
#include "os/Platform.h"
#include "ui/PaintedButton.h"

class CFolderPathInfo;

class CDlgEnvList : public os::Dialog {
  public:
    CDlgEnvList(os::Platform& os, os::Dialog* parent);

    bool OnInitDialog() override;
    void OnPaint(os::Canvas& canvas) override;
    void OnMouse(os::MouseEvent event, os::Point point) override;
    bool OnCommand(int id) override;
    // Enter would close the dialog without recording the boxes; only run does that.
    void OnOK() override {}
    void OnCancel() override { EndDialog(os::kIdCancel); }
    void OnDestroy() override;

    // The facts about both PCs that the dialog reads when it opens: which of the source's
    // folders exist, and whether either PC (own code `ownOs`, partner's `remoteOs`) belongs to
    // the Windows 2000 family. The mail, iTunes and Firefox facts are false in this system.
    void ReadFacts(CFolderPathInfo& folders, os::FileSystem& fs, uint32_t ownOs, uint32_t remoteOs);

    // Run: records the boxes and closes with IDOK; refused with a message when none is checked.
    void Run();
    // Run with every item: records the boxes, sets every run flag, closes with IDOK.
    void RunAll();
    // Checks or unchecks every box the user can change.
    void CheckAll(bool checked);

    CDlgEnvListChks m_chks;
    std::array<bool, env::kItemCount> m_bChecks;
    std::array<int, env::kItemCount> m_nIds;
    env::RunFlags m_bRunFlags;
    std::array<os::WString, env::kItemCount> m_sKeys;
    PaintedButton m_btnRun;
    PaintedButton m_btnCancel;
    PaintedButton m_btnManual;
    bool m_bPressed = false;

    // Facts about the two PCs.
    bool m_bOutlookEx = false;
    bool m_bOutlookMail = false;
    bool m_bOutlookAccount = false;
    bool m_bWinLiveMail = false;
    bool m_bWin2000 = false;
    bool m_bWallpaper = false;
    bool m_bITunesShown = false;
    bool m_bITunesEnabled = false;
    bool m_bITunesEnabled2 = false;
    bool m_bFirefox = false;
    bool m_bDocExists = false;
    bool m_bMusicExists = false;
    bool m_bPicExists = false;
    bool m_bVideoExists = false;

    os::WString m_sProgramFolder;  // where the manual is looked for

  private:
    std::vector<const PaintedButton*> Buttons() const;
    void OnButtonClick(os::Point point);
    // Disables (or hides) the box of item `index` and clears its state and run flag.
    void ForceOff(size_t index, bool hide = false);
    void ForceOffIds(std::initializer_list<int> ids);

    os::Platform& m_os;
    // Boxes the user can change at this opening: enabled and shown.
    std::array<bool, env::kItemCount> m_bUsable{};
};
