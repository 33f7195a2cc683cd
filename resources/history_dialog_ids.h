// Resource ids of the History dialog and of the ways to open it.
#pragma once

#define IDD_HISTORY 145

#define IDC_HISTORY_TABLE 1080
#define IDC_HISTORY_COPY 1081
#define IDC_HISTORY_CLEAR 1082
#define IDC_HISTORY_TEXT 1083
#define IDC_HISTORY_KEEP 1084
#define IDC_HISTORY_KEEP_NOTE 1085

// The main window's "History" button and the tray menu's "History" entry.
#define IDC_HISTORY 1086
#define ID_TRAY_HISTORY 32780
