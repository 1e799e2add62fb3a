// Every text a user can meet, in one place: message boxes, captions and painted lines.
#pragma once

namespace texts {

inline constexpr char16_t kProductTitle[] = u"ソラノワ Basic";
inline constexpr char16_t kAppNamePlaceholder[] = u"APPLICATION_NAME";
inline constexpr char16_t kAboutMenuSuffix[] = u"のバージョン情報(&A)...";
inline constexpr char16_t kAboutVersionLine[] = u"ソラノワ Basic Version 6.0";

// Start-up.
inline constexpr char16_t kSocketInitFailed[] = u"ソケットの初期化に失敗しました。";
inline constexpr char16_t kAlreadyRunning[] = u"本製品は複数同時に起動できません。";
inline constexpr char16_t kMutexName[] = u"MyInstance";
inline constexpr char16_t kNoWin31[] = u"当プログラムは、Windows3.1には、対応しておりません";
inline constexpr char16_t kNoWin9x[] = u"当プログラムは、Windows95/98/Meには、対応しておりません";
inline constexpr char16_t kUnknownOs[] = u"OSの種類が不明です";

// Sockets.
inline constexpr char16_t kServerSocketInitFailed[] = u"サーバーソケットの初期化に失敗しました";
inline constexpr char16_t kListenFailed[] = u"接続待機状態に移行できませんでした";
inline constexpr char16_t kClientSocketInitFailed[] = u"クライアントソケットの初期化に失敗しました";
inline constexpr char16_t kAcceptFailed[] = u"接続要求受け入れに失敗しました";
inline constexpr char16_t kStaleConnection[] =
    u"過去の接続情報が残っているため接続できません。両方のパソコンで本ソフトを終了してから "
    u"再度接続設定をおこなって下さい。";
inline constexpr char16_t kReceiveSocketFailed[] = u"受信ソケットで受信に失敗しました";
inline constexpr char16_t kClientReceiveFailed[] = u"クライアントソケットで受信に失敗しました";
inline constexpr char16_t kConnectionLost[] =
    u"接続が切断されました\nコピーを続ける場合は、プログラムを再起動してください";
// A connection from an address that is not the partner's; the refused address comes first.
inline constexpr char16_t kStrangerRefused[] =
    u" からの接続をお断りしました。相手のパソコンとして選んだパソコンのアドレスではありません。"
    u"\n\n相手のパソコンが複数のネットワークにつながっている場合は、このパソコンとつながっている"
    u"ネットワーク以外を一時的に切断してから、両方のパソコンで本ソフトを起動し直してください。";

// Network category.
inline constexpr char16_t kAskMakePrivate[] =
    u"ネットワークの設定がパブリックに設定されています。\nネットワークの設定をプライベートに変更"
    u"する必要があります。\n変更しますか？";
inline constexpr char16_t kMakePrivateFailed[] = u"プライベートに変更できませんでした。";

// Firewall: the rules this program keeps for itself, and the partner dialog's hint where they
// cannot be made.
inline constexpr char16_t kFirewallRuleTcp[] = u"ソラノワBasic (TCP 52379)";
inline constexpr char16_t kFirewallRuleUdp[] = u"ソラノワBasic (UDP 52380)";
inline constexpr char16_t kFirewallGrouping[] = u"ソラノワBasic";
inline constexpr char16_t kFirewallDescription[] =
    u"ソラノワ Basic がもう一台のパソコンからの接続を受けるための規則です。";
inline constexpr char16_t kFirewallHint[] =
    u"ファイアウォールでこのソフトを許可してください\n"
    u"（プライベートネットワーク、TCP 52379・UDP 52380）";

// Role and partner choice.
inline constexpr char16_t kRoleQuestion[] = u"このパソコンは引越元ですか？それとも引越先ですか？";
inline constexpr char16_t kChoosePartnerTitle[] = u"相手のPCを選んでください。";
// Label of the partner's name field, for networks whose browser lists no computers.
inline constexpr char16_t kPartnerNameLabel[] = u"コンピュータ名またはIPアドレス：";
inline constexpr char16_t kOwnPcRefused[] = u"自分のPCは指定できません。";
inline constexpr char16_t kAddressLookupFailed[] = u"IPの取得に失敗しました。";
// A PC found on the network that has chosen the same role as this one.
inline constexpr char16_t kSameRoleMark[] = u"（同じ役割のため選べません）";
inline constexpr char16_t kSameRoleRefused[] =
    u"このPCは、こちらと同じ役割を選んでいます。\n"
    u"どちらかのPCで、もう一方の役割を選び直してください。";

// Connecting to the partner.
inline constexpr char16_t kSearchingPartner[] = u"もうひとつのパソコンを探しています...";
inline constexpr char16_t kSearchCancelHint[] = u"中断する場合はキャンセルをクリックしてください";
inline constexpr char16_t kPartnerNotFound[] =
    u"他のコンピュータが見つかりませんでした。\nもう一台のパソコンでも、このソフトを実行してくだ"
    u"さい";

// Whole-drive copy: a fixed drive whose root cannot be listed; the drive letter comes first.
inline constexpr char16_t kDriveUnreadable[] =
    u"ドライブの中身を読み取れませんでした。このドライブはコピーされません。\nほかのドライブの"
    u"コピーは続けます。";

// Work folder and path log.
inline constexpr char16_t kWorkFolder[] = u"ソラノワBasic\\work";
inline constexpr char16_t kPathLogName[] = u"FerryloPath.log";

// Result check and environment copy.
inline constexpr char16_t kErrorListName[] = u"FerryloLog.txt";
inline constexpr char16_t kErrorListHeader[] =
    u"以下のファイルまたはディレクトリのコピーの際にエラーが発生しました。\n";
inline constexpr char16_t kEnvCopyRefused[] =
    u"本機能は、引越先のOSがWindows 8/Windows 7/Vista/Xpのときのみ利用可能です。";
// The destination's report of how the received items were moved into place.
inline constexpr char16_t kEnvReportName[] = u"FerryloEnvLog.txt";
inline constexpr char16_t kEnvRegisterFailed[] =
    u"受信したファイルを移動先のフォルダに移動できませんでした。\nファイルは次のフォルダに残って"
    u"います。\n";
// Shown on the destination's window while the received items move into place.
inline constexpr char16_t kEnvMoving[] = u"受信したファイルを移動しています...";
// Environment selection.
inline constexpr char16_t kEnvNothingChosen[] = u"ひとつも選択されていません";
inline constexpr char16_t kEnvListHint[] =
    u"引越する環境の項目を選択してください。「実行」をクリックすると、チェックした項目の引越が"
    u"始まります。";
// What the source could not send intact: its list file in the program's folder below the
// documents, the list's first line, and the closing message's addition, then (when the list
// could be written) the line that names the list, followed by its path.
inline constexpr char16_t kNotSentListName[] = u"FerryloNotSent.txt";
inline constexpr char16_t kNotSentListHeading[] =
    u"以下のファイルまたはフォルダは、引越先へ完全には送れませんでした。";
inline constexpr char16_t kNotSentNote[] = u"一部のファイルは完全には送れませんでした。\n";
inline constexpr char16_t kNotSentListSaved[] = u"送れなかったファイルの一覧：";

// Manual.
inline constexpr char16_t kLocalManual[] = u"\\..\\..\\Docs\\manual\\index.html";
inline constexpr char16_t kOnlineManual[] = u"https://www.soranowa.example/basic/manual/";

}  // namespace texts
