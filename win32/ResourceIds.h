#pragma once

// Resource numbers shared by the resource script and the window code. The
// command ids themselves are in app/CommandIds.h.
#define IDR_MAINFRAME 128

#define IDD_ABOUT 100
#define IDD_CONFIGURATION 130
#define IDD_SUBMODULE 133
#define IDD_STARTUP_NOTICE 151
#define IDI_SUBMODULE 135
#define IDI_NOTICE 143

#define IDC_STATIC -1
#define IDC_VERIFY 1001
#define IDC_ALLOW_CPU0 1002
#define IDC_SUBMODULE_DATA 1003
#define IDC_COM1 1050
#define IDC_COM2 1051
#define IDC_COM3 1052
#define IDC_COM4 1053

#define IDW_TRANSCRIPT 2000
#define IDW_TOOLBAR 59392
#define IDW_STATUS_BAR 59393
// The transfer's progress bar, a child of the status bar.
#define IDW_PROGRESS 2001

#define IDS_IDLE_MESSAGE 57345
#define IDS_INDICATOR_CAPS 59137
#define IDS_INDICATOR_NUM 59138
#define IDS_INDICATOR_SCRL 59139
