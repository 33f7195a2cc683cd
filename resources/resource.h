// Resource ids shared by the resource script and the program.
#pragma once

#define IDD_ABOUT 100
#define IDS_ABOUT_ITEM 101
#define IDI_APP_ICON 128
#define IDI_TRAY_ICON 137
#define IDS_APP_TITLE 57344
