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
#define IDD_ENVLISTCHKS 173
#define IDD_ENVLIST 175

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
#define IDC_PARTNER_FOUND 1032
// Two lines at the bottom of the partner's dialog: what to allow in the firewall, where the
// program could not make its own rules.
#define IDC_PARTNER_FIREWALL_HINT 1033

// Controls of the environment list: its standard buttons are hidden, the user works with the
// painted ones.
#define IDC_ENV_RUN_ALL 3
#define IDC_ENV_RUN 1055
#define IDC_ENV_ALLOFF 1058
#define IDC_ENV_ALLON 1059

// Check boxes of the environment list's panel, one per item of the environment table.
#define IDC_ENV_MYDOC 1025
#define IDC_ENV_MYPIC 1026
#define IDC_ENV_MYVIDEO 1027
#define IDC_ENV_MYMUSIC 1028
#define IDC_ENV_DESKTOP 1029
#define IDC_ENV_WALLPAPER 1030
#define IDC_ENV_IEINTSETTING 1038
#define IDC_ENV_IEFAVORITES 1039
#define IDC_ENV_IEHISTORY 1040
#define IDC_ENV_IECOOKIE 1041
#define IDC_ENV_IEHOMEPAGE 1042
#define IDC_ENV_IEURLAUTOCOMP 1043
#define IDC_ENV_OLMAIL 1044
#define IDC_ENV_OLACCOUNT 1045
#define IDC_ENV_OEACCOUNT 1046
#define IDC_ENV_OEMAIL 1047
#define IDC_ENV_OEADDRESS 1048
#define IDC_ENV_FFBOOKMARK 1049
#define IDC_ENV_FFINTSETTING 1050
#define IDC_ENV_FFHOMEPAGE 1051
#define IDC_ENV_FFURLAUTOCOMP 1052
#define IDC_ENV_FFCOOKIE 1053
#define IDC_ENV_ITUNES 1054
#define IDC_ENV_FFADDON 1092
#define IDC_ENV_FFTHEME 1093
#define IDC_ENV_SPRTFAVORITES 1096
