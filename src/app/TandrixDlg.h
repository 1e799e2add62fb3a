// The main window: owner of the whole migration's state for the life of the process. Its
// handlers live in several files by subject: start-up and painting (TandrixDlg.cpp), the
// connection (TandrixDlgConnect.cpp), the dispatch of what arrives (TandrixDlgDispatch.cpp),
// the sender's walk (TandrixDlgSend.cpp), stop and end of a copy (TandrixDlgStop.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/AboutDlg.h"
#include "modes/EnvItems.h"
#include "net/Discovery.h"
#include "net/Sockets.h"
#include "os/Platform.h"
#include "platform/NotSentList.h"
#include "transfer/BackChannel.h"
#include "transfer/DriveListMessage.h"
#include "transfer/ForwardReader.h"
#include "transfer/StreamReceiver.h"
#include "ui/PacedProgress.h"
#include "ui/PaintedButton.h"
#include "ui/UiPacer.h"

class CTandrixApp;
class CDrive;
class CFilePath;
class CFolderPathInfo;
class CDlgEnvList;
class CDlgFindCancel;
class CDlgProgress;
class CRecovPath;
class CPathLogWriter;
struct WalkPosition;

class CTandrixDlg : public os::Dialog, private CReceiverHost {
  public:
    // What follows a resend of the entries after a break once the sending pass had ended.
    enum class AfterResend { EndPair, Survey, PathLog };

    explicit CTandrixDlg(CTandrixApp& app);
    ~CTandrixDlg() override;

    bool OnInitDialog() override;
    void OnPaint(os::Canvas& canvas) override;
    void OnMouse(os::MouseEvent event, os::Point point) override;
    bool OnSysCommand(unsigned id) override;
    bool OnCommand(int id) override;
    void OnTimer(int id) override;
    intptr_t OnAppMessage(unsigned n, uintptr_t wParam) override;
    void OnOK() override;
    void OnCancel() override;

    // Copy start of a mode (1 whole drives, 2 file list, 3 environment, 5 folders).
    void OnCopyCommand(int mode);
    // Role and partner choice at start-up; false when the program is to end.
    bool ChooseRole();
    // This PC's role (1 source, 2 destination) and its partner, whose addresses are the only
    // ones allowed to connect, then listening: the end of the role and partner choice.
    void TakeRole(int role, const os::WString& partnerAddress,
                  const std::vector<os::IPv4>& partnerAddresses);
    // While this PC waits for its partner it announces itself and finds the others; once
    // paired, or when the program ends, it falls silent.
    void UpdateDiscovery();
    // Connection to the partner.
    bool FindPartner();
    void ConnectToPartner();
    // Whole-drive copy: fills the send list; false when a drive root cannot be listed.
    bool DoAllCpy();
    void StartWholeDriveCopy();
    // The partner's drive that receives the copy; false when cancelled.
    bool ChooseDestinationDrive();
    // File-list and folder copies: the send list from a list of sources.
    void BuildListSendPath(const CFilePath& sources);
    // Start of the file-list copy (`folders` false, mode 2) or the folder copy (true, mode 5):
    // the list dialog, the destination drive, the send list and SENDCOUNTBEGIN.
    void StartListCopy(bool folders);
    os::WString DestRoot() const;  // "X:\Ferrylo" from the destination drive text
    // Start of the environment copy (mode 3): the refusal for destinations before XP, the
    // item choice, then RunEnvCopy with the chosen run flags.
    void StartEnvCopy();
    // The destination's system drive, the build step and SENDCOUNTBEGIN.
    void RunEnvCopy(const env::RunFlags& flags);
    // Build step of the environment copy: fills the send list; true when it finished.
    bool DoEnvCopy(const env::RunFlags& flags);
    // Destination, after the result check of an environment copy: moves the received items
    // into this PC's folders, reports what the user must know, then answers the result
    // (`errorsListed`: the check found missing paths). False when no item list was read.
    bool DoEnvRegister(bool errorsListed);
    // One read of the incoming connection, handled by the state this PC is in.
    void OnStateData(const char* data, size_t size);
    // Marks the copy as running on this PC as its source and sends SENDCOUNTBEGIN; when the
    // partner is no longer connected it tells the user and starts nothing.
    bool BeginCopy();
    // The environment selection: the facts about both PCs, then the dialog; true when the
    // user chose to go ahead.
    bool AskCopyEnv();
    // True while a copy runs on this PC, as its source or its destination.
    bool CopyRunning() const { return m_bCopyInProgress || m_nRole != 0; }

    // Screens: 0 not set up, 1 ready, 2 searching, 4 receiving.
    int m_nScreen = 0;
    int m_nPcRole = 0;
    int m_nCopyMode = 0;
    int m_nRole = 0;
    int m_nCom = 0;
    int m_nSendPass = 0;
    bool m_bConnected = false;
    bool m_bPeerKnowsTdx = false;  // the partner's drive list trailer carried "TDX1"
    bool m_bDrivesExchanged = false;
    bool m_bPeerListHeld = false;
    bool m_bSearching = false;
    bool m_bConnecting = false;        // a connect call is under way (even after Cancel)
    bool m_bAcceptPending = false;     // the partner connected to us before our connect stood
    bool m_bDriveListPending = false;  // the partner asked for our list before our connect stood
    bool m_bCopyStarted = false;
    bool m_bCopyInProgress = false;
    bool m_bRunning = false;
    bool m_bFullDrv = false;
    bool m_bErrPathPending = false;
    bool m_bNormalEnd = false;
    bool m_bConfirmingStop = false;
    // The destination's stop request is out and the source has sent something since: it is
    // still in the copy and its answer is on the way.
    bool m_bSourceHeardSinceStop = false;
    bool m_bQuitPending = false;
    bool m_bExiting = false;
    bool m_bMadePrivate = false;
    bool m_bProgramFiles = false;  // the Program Files answer of a whole-drive copy
    // While the received environment is moved into place no copy starts, and what the partner
    // sends meanwhile waits in m_heldIncoming.
    bool m_bEnvRegistering = false;
    // The user asked to end the program while the items moved: it ends once they are in place
    // and the partner has its answer.
    bool m_bExitAfterRegister = false;
    int m_nTotalFiles = 0;
    int m_nFileIndex = -1;
    char16_t m_chDestDrive = u'C';

    os::WString m_sComputerName;
    os::WString m_sComputerNameForList;  // read again for the file-list dialog
    os::WString m_sProgramDrive;
    os::WString m_sProgramFolder;
    uint32_t m_nOsMajor = 0;
    uint32_t m_nOsMinor = 0;
    uint32_t m_nOsBuild = 0;
    os::WString m_sDestDrive;
    os::WString m_sErrPath;      // path named by the last error report
    os::WString m_sReceiveBase;  // base folder of the copy being received
    wire::PeerFacts m_peer;      // system facts from the partner's drive list

    // Walk position of the sender.
    os::WString m_sCurPath;
    os::WString m_sCurPath2;
    os::WString m_sCurDir;
    os::WString m_sCurDir2;
    int m_nDirExits = 0;
    os::WString m_sOwnFolder;  // never walked: the program's own folder below the documents
    bool m_bWalking = false;
    bool m_bWalkAwaitsMessage = false;  // the pass's end waits for a message still arriving
    AfterResend m_nAfterResend = AfterResend::EndPair;
    // The open enumerations from the current item down to m_sCurDir, each standing just after
    // the subfolder the walk went into, so that a finished subfolder never makes its parent be
    // listed again from the start. Emptied whenever the walk position jumps.
    struct OpenDir {
        os::WString dir;
        std::unique_ptr<os::FindHandle> find;
        uint32_t files = 0;  // files of this enumeration met so far
    };
    std::vector<OpenDir> m_openDirs;
    CNotSentList m_notSent;  // what this copy could not send intact
    // Source and destination path of each "not intact" entry sent, for a resend after a break.
    std::vector<std::pair<os::WString, os::WString>> m_markedNotIntact;
    std::unique_ptr<CPathLogWriter> m_pSurvey;  // the path log, open while the survey runs
    CUiPacer m_sendPacer;                       // progress and message pumping of the walk
    int m_nUnpumpedFiles = 0;
    std::vector<uint8_t> m_sendBuf;  // a file entry and its first piece, sent together
    // What the walk has queued for the stream and not yet sent: the entries and bodies of small
    // files leave together in sends of up to kStreamBatch bytes. Emptied before the walk lets
    // any message in or returns, so nothing it caused can overtake what it queued before.
    static constexpr size_t kStreamBatch = size_t{256} << 10;
    std::vector<uint8_t> m_streamBatch;
    std::vector<uint8_t> m_streamSending;

    CClientSocket m_ClientSocket;
    CServerSocket m_ServerSocket;
    discovery::CDiscovery m_discovery;
    // File bodies are read and sent, and the incoming connection read, in blocks of this size:
    // the stream is the same bytes however it is cut, and each call has its fixed cost.
    static constexpr size_t kIoBlock = size_t{1} << 20;
    std::vector<uint8_t> m_pTransferBuf;  // kIoBlock, for file pieces
    std::vector<uint8_t> m_recvBuf;       // one read of the incoming connection, + 1
    std::unique_ptr<CDrive> m_pMyDrives;
    std::unique_ptr<CDrive> m_pRemoteDrives;
    std::unique_ptr<CFolderPathInfo> m_pFolderInfo;
    std::unique_ptr<CFilePath> m_pSendPath;
    std::unique_ptr<CFilePath> m_pEnvPath;
    std::unique_ptr<CFilePath> m_pFileList;
    std::unique_ptr<CFilePath> m_pFolderList;
    std::unique_ptr<CDlgEnvList> m_pEnvList;     // lives as long as the program: keeps the choice
    std::unique_ptr<CDlgFindCancel> m_pFindDlg;  // open while a connect attempt runs
    std::unique_ptr<CDlgProgress> m_pProgress;
    std::unique_ptr<CRecovPath> m_pRecovPath;
    CStreamReceiver m_receiver;
    CPacedProgress m_receiveProgress;  // what the receiver last reported, shown by time
    bool m_bReceiveProgressTimer = false;

    // Bitmap buttons of the main window.
    PaintedButton m_btnPicture;
    PaintedButton m_btnFileList;
    PaintedButton m_btnEnvironment;
    PaintedButton m_btnFolders;
    PaintedButton m_btnAllDrives;
    PaintedButton m_btnEnd;
    PaintedButton m_btnManual;
    bool m_bButtonDown = false;
    bool m_bFirstPaintDone = false;

  private:
    void LayoutButtons();
    std::vector<const PaintedButton*> CurrentButtons() const;
    void UpdateCopyButtonLook();
    void OnButtonClick(os::Point point);
    void OpenManual();
    void ReadProgramLocation();
    void Repaint();

    // Connection.
    void OnAcceptedConnection();
    void OnClientClosed();
    void OnSearchCancelled();

    // Dispatch of what arrives.
    void OnIncomingData();
    void ShowReceiveProgress(bool force);
    void OnCommandFrame(int command);
    void TakeForwardMessages(bool settled);
    void OnMessageSettled();
    void OnPeerDriveList(const char* data, size_t size);
    void OnFolderList(const char* data, size_t size);
    void OnErrorReport(const os::WString& path);
    void OnLegacyState(const char* data, size_t size);
    void StartChosenCopy();
    void OnStopAnswerTimeout();
    bool SendFrame(int command);
    bool SendForward(const void* data, size_t size);
    bool SendBack(const void* data, size_t size);
    void SendDriveList();
    void SendFolderList();
    void StartTimer7();
    void StopTimer7();

    // Sender's walk.
    enum class WalkStep { StartItem, Continue };
    enum class DirResult { Descended, Finished };
    enum class UpResult { Continue, NextItem, Yield };
    void StartPass(int pass);
    void RunWalk(WalkStep step);
    void StartItem();
    DirResult WalkDirectory();
    UpResult GoUp();
    void NextItem();
    bool IsOwnFolder(const os::WString& path) const;
    void PassOver();
    void HandlePendingReport();
    void RemarkVanished();
    void ResendAfterPass(AfterResend then);
    void BeginSurvey();
    void RecordEntry(bool topLevelFile);
    void VisitFile(const os::FindData& record);
    int SendOneFile(const os::WString& path, const os::FindData& record);
    void SendDirEntry(const os::WString& path2);
    bool SendWithRetries(const void* data, size_t size);
    bool QueueStream(const void* data, size_t size);
    bool SendBatch();
    bool FlushStream();
    void StreamSendFailed();
    void SendPathLog();
    bool PeerDriveIsNtfs() const;
    void NoteNotSent(const os::WString& source, const os::WString& destination);
    void ShowWalkProgress(const os::WString& path, uint64_t size, uint64_t sent);
    void PumpWalk();
    void LeaveWalk();
    void HintReadAhead(uint32_t filesDone);
    void SurveyLine(const os::WString& path2);
    // The closing message's addition when something was not sent intact (its list written to
    // disk first and opened after the message), else empty.
    os::WString NotSentNote();
    void OpenNotSentList();
    os::WString m_sNotSentFile;

    // Stop and end of a copy.
    void OnBackChannelData();
    void OnBackWord(const wire::BackMessage& message);
    void OnStopRequest();
    void AbandonCopy();
    void SendEndOfTransfer(bool normal);
    void EndWithFullDrive(char16_t letter);
    void OnGotEndOfCopy();
    void OnSendErrOfCopy();
    void ResultCheck(char16_t letter);
    void ShowClosingMessage(bool filesMissing);
    void ResetCopyState();
    void OpenProgress();
    void CloseProgress();
    bool CreateMovedFilesShortcut(const os::WString& targetFolder);

    // Receiver host.
    void SendFrame(const std::string& frame) override;
    void SendErrorReport(const os::WString& path) override;
    void StartErrorRepeatTimer() override;
    bool IsFullDrive() const override { return m_bFullDrv; }
    void SetFullDrive() override { m_bFullDrv = true; }
    void OnEndOfPathLog(char16_t letter) override;
    void SetFileName(const os::WString& path) override;
    void SetFileRange(uint64_t size) override;
    void SetFilePos(uint64_t pos) override;
    void SetOverallPos(int fileIndex) override;

    CTandrixApp& m_app;
    os::Platform& m_os;
    wire::BackChannelReader m_backReader;  // back-channel words across reads
    std::string m_pendingMessage;          // drive list or folder list being received
    std::string m_heldIncoming;            // arrived while the environment was registered
    wire::ForwardReader m_forward;         // frames and error reports across reads
};

// Timers of the main window.
enum : int {
    kTimerFirstPaint = 2,
    kTimerCountYield = 5,   // the counting walk goes on
    kTimerKeepAwake = 7,    // every minute while paired
    kTimerSurveyYield = 8,  // the survey walk goes on
    kTimerReportAgain = 10,
    kTimerStopAnswer = 11,
    kTimerMessageSettle = 12,    // a drive list or folder list is complete once it is quiet
    kTimerReceiveProgress = 13,  // shows receiving progress held back by the pacer
    kTimerDiscovery = 14,        // announces this PC while it waits for its partner
};

// Posted by the result check of an environment copy (wParam 1: paths were missing), so that
// the received items are moved once the stream's last read has been handled.
constexpr unsigned kMsgEnvRegister = 20;

// Copy commands of the main window.
enum : int {
    kCmdWholeDrives = 1000,
    kCmdFileList = 1001,
    kCmdEnvironment = 1002,
    kCmdFolders = 1006,
};
