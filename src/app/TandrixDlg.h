// The main window: owner of the whole migration's state for the life of the process.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "os/Platform.h"

class CTandrixApp;
class CDrive;
class CFilePath;
class CFolderPathInfo;

class CTandrixDlg : public os::Dialog {
  public:
    explicit CTandrixDlg(CTandrixApp& app);
    ~CTandrixDlg() override;

    bool OnInitDialog() override;
    void OnPaint(os::Canvas& canvas) override;
    bool OnSysCommand(unsigned id) override;
    void OnOK() override;
    void OnCancel() override;

    // Screens: 0 not set up, 1 ready, 2 searching, 4 receiving.
    int m_nScreen = 0;
    int m_nPcRole = 0;
    int m_nCopyMode = 0;
    int m_nRole = 0;
    int m_nCom = 0;
    bool m_bConnected = false;
    bool m_bDrivesExchanged = false;
    bool m_bQuitPending = false;
    bool m_bExiting = false;
    bool m_bMadePrivate = false;

    os::WString m_sComputerName;
    os::WString m_sComputerNameForList;  // read again for the file-list dialog
    os::WString m_sProgramDrive;
    os::WString m_sProgramFolder;
    uint32_t m_nOsMajor = 0;
    uint32_t m_nOsMinor = 0;
    uint32_t m_nOsBuild = 0;
    os::WString m_sDestDrive;

    std::vector<uint8_t> m_pTransferBuf;  // 64 KiB transfer buffer
    std::unique_ptr<CDrive> m_pMyDrives;
    std::unique_ptr<CDrive> m_pRemoteDrives;
    std::unique_ptr<CFolderPathInfo> m_pFolderInfo;
    std::unique_ptr<CFilePath> m_pSendPath;
    std::unique_ptr<CFilePath> m_pEnvPath;
    std::unique_ptr<CFilePath> m_pFileListPath;
    std::unique_ptr<CFilePath> m_pFolderListPath;

  private:
    void ReadProgramLocation();
    // Ready screen after start-up; the role and partner choice leads here.
    void EnterReadyScreen();

    CTandrixApp& m_app;
    os::Platform& m_os;
};

// System-menu command of the about entry.
constexpr unsigned kIdmAboutBox = 16;
