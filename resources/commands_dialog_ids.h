// Resource ids of the commands dialog.
#pragma once

#define IDD_COMMANDS 130

// Its controls; the trigger section reuses the main window's ids from resource.h
// (IDC_TRIGGER_TEXT, IDC_SELECT_TRIGGER, IDC_MODIFIER_HINT, IDC_KEY_MAP, IDC_HEADER_TRIGGER).
#define IDC_COMMANDS_TABLE 1018
#define IDC_COMMANDS_NEW 1019
#define IDC_COMMANDS_EDIT 1020
#define IDC_COMMANDS_DELETE 1022
#define IDC_COMMANDS_MOVE_UP 1023
#define IDC_COMMANDS_MOVE_DOWN 1024
