// Captions and list styles of the templates in res/tandrix.rc.
#include "sim/SimTemplates.h"

#include "resource.h"
#include "sim/SimUi.h"

namespace sim {

void InstallTemplates(SimUi& ui) {
    ui.SetTemplateCaption(IDD_TANDRIX_DIALOG, u"APPLICATION_NAME");
    ui.SetTemplateCaption(IDD_ABOUTBOX, u"APPLICATION_NAMEのバージョン情報");
    ui.SetTemplateCaption(IDD_PROGRESS, u"データ転送中．．．");
    ui.SetTemplateCaption(IDD_DRIVE, u"ドライブ選択");
    ui.SetSortedList(IDD_DRIVE, IDC_DRIVE_LIST);
    ui.SetTemplateCaption(IDD_FILELIST, u"APPLICATION_NAME");
    ui.SetTemplateCaption(IDD_IPNUMBER, u"APPLICATION_NAME");
    ui.SetTemplateCaption(IDD_FINDCANCEL, u"APPLICATION_NAME");
    ui.SetTemplateCaption(IDD_PARTNER, u"APPLICATION_NAME");
    ui.SetTemplateCaption(IDD_ENVLIST, u"APPLICATION_NAME");
    // The progress dialog's dot animation and the main window's keep-awake tick.
    ui.SetBackgroundTimer(IDD_PROGRESS, 1);
    ui.SetBackgroundTimer(IDD_TANDRIX_DIALOG, 7);
    // The announcements of a PC waiting for its partner go on for ever; a story about
    // discovery lets them run (SimUi::ClearBackgroundTimer).
    ui.SetBackgroundTimer(IDD_TANDRIX_DIALOG, 14);
}

}  // namespace sim
