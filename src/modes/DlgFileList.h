// The list of files (or, in its folder form, folders) the user collects for a file-list or a
// folder copy. Painted like the role dialog, with six bitmap buttons; the standard buttons of
// the template are hidden and act like the painted ones.
#pragma once

#include <vector>

#include "os/Platform.h"
#include "ui/PaintedButton.h"

class CDlgFileList : public os::Dialog {
  public:
    static constexpr int kMaxEntries = 200;

    // `programFolder` is where the manual is looked for.
    CDlgFileList(os::Platform& os, os::Dialog* parent, const os::WString& programFolder);

    bool OnInitDialog() override;
    void OnPaint(os::Canvas& canvas) override;
    void OnMouse(os::MouseEvent event, os::Point point) override;
    bool OnCommand(int id) override;
    void OnListDoubleClick(int listId) override;
    void OnOK() override {}
    void OnCancel() override { EndDialog(os::kIdCancel); }

    // The text a list row shows for `path`: its last component, "\" appended for a folder; a
    // drive root such as D:\ whole.
    static os::WString DisplayText(os::FileSystem& fs, const os::WString& path);
    // Refused silently when exactly this path (with case) is listed already. The callers keep
    // the count below kMaxEntries.
    void AddEntry(const os::WString& path);

    void Choose();
    void Remove();
    void RemoveAll();
    void Run();
    // The full path of a row in a box (a double click on the row).
    void ShowEntry(int index);

    int m_nFolder = 0;  // 0 the file-list copy, 1 the folder copy
    int m_nCount = 0;
    os::WString m_sPaths[kMaxEntries];
    bool m_bPressed = false;
    // Set by the caller for Vista and later. Dropping files on the list is not built: those
    // are the only systems the program runs on, and the template's list box takes no drops.
    bool m_bDragDropOff = false;

    PaintedButton m_btnChoose;
    PaintedButton m_btnRemove;
    PaintedButton m_btnRemoveAll;
    PaintedButton m_btnRun;
    PaintedButton m_btnClose;
    PaintedButton m_btnManual;

  private:
    std::vector<const PaintedButton*> Buttons() const;
    void OnButtonClick(os::Point point);
    void FillList();
    void UpdateButtons();
    // The open-file dialog or, in the folder form, the folder picker; false on cancel.
    bool Pick(std::vector<os::WString>& picked);
    void ChooseFiles();
    void ChooseFolders();
    void ShowLimit();
    os::WString DesktopPattern() const;

    os::Platform& m_os;
    os::WString m_sProgramFolder;
};
