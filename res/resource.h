// Resource ids shared by the templates in tandrix.rc and the system's code.
#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_TANDRIX_DIALOG 102
#define IDD_IPNUMBER 129
#define IDD_DRIVE 130
#define IDD_FILELIST 131
#define IDD_FINDCANCEL 132
#define IDD_PROGRESS 134
#define IDD_PARTNER 136
#define IDD_ENVLIST 173
#define IDD_ENVPROGRESS 175

// Icon.
#define IDR_MAINFRAME 128

// Controls of the about box.
#define IDC_ABOUT_VERSION 1100

// Controls of the progress dialog.
#define IDC_PROGRESS_OVERALL 1014
#define IDC_PROGRESS_FILENAME 1015
#define IDC_PROGRESS_STOP 1016
#define IDC_PROGRESS_FILE 1018
#define IDC_PROGRESS_STATUS 1022
#define IDC_PROGRESS_NOTE 1023
#define IDC_PROGRESS_PERCENT 1024

// Controls of the drive choice.
#define IDC_DRIVE_LIST 1007

// Controls of the file-list dialog; its standard buttons are hidden and act like the painted
// ones (IDC_FILELIST_ALL, id 3, has no action).
#define IDC_FILELIST_ALL 3
#define IDC_FILELIST_REMOVE 1008
#define IDC_FILELIST_CHOOSE 1009
#define IDC_FILELIST_RUN 1010
#define IDC_FILELIST_LIST 1011
#define IDC_FILELIST_REMOVE_ALL 1021

// Controls of the searching dialog.
#define IDC_FIND_CANCEL 1013

// Controls of the partner's name dialog.
#define IDC_PARTNER_NAME 1030
#define IDC_PARTNER_BROWSE 1031
