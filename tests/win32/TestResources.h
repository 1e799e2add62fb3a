// Resource ids of the test program's own templates and bitmaps.
#pragma once

#define IDD_TEST_HOST 900
#define IDC_TEST_EDIT 901
#define IDC_TEST_BUTTON 902
#define IDC_TEST_LIST 903
#define IDC_TEST_PROGRESS 904
#define IDD_TEST_PANEL 905
#define IDC_TEST_CHECK 906
#define IDB_TEST_PIXELS 910
#define IDI_TEST_ICON 920
