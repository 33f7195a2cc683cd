// Resource ids shared by the resource script and the program.
#pragma once

#define IDD_ABOUT 100
#define IDS_ABOUT_ITEM 101
#define IDD_MAIN 102
#define IDI_APP_ICON 128
#define IDI_TRAY_ICON 137
#define IDR_TRAY_MENU 129
#define ID_TRAY_SETTINGS 32771
#define ID_TRAY_EXIT 32772
#define ID_TRAY_OPEN_MODEL_FOLDER 32790

// Controls of the main window.
#define IDC_INPUT_LIST 1000
#define IDC_USE_SELECTED_INPUT 1001
#define IDC_TRIGGER_TEXT 1003
#define IDC_SELECT_TRIGGER 1004
#define IDC_MODIFIER_HINT 1005
#define IDC_MULTIPLE_KEYBOARDS 1006
#define IDC_LOG 1007
#define IDC_RELOAD_ENGINE 1008
#define IDC_EXIT 1009
#define IDC_ENABLE_DSP 1010
#define IDC_NOISE_GATE_SLIDER 1011
#define IDC_LOW_CUT_SLIDER 1012
#define IDC_NOISE_GATE_LABEL 1013
#define IDC_LOW_CUT_LABEL 1014
#define IDC_TEST_INPUT 1015
#define IDC_INPUT_LEVEL 1016
#define IDC_DSP_DEFAULT 1017
#define IDC_EDIT_COMMANDS 1021
#define IDC_ADD_SPACE 1044
#define IDC_ADD_NEW_LINE 1045
#define IDC_HEADER_TRIGGER 1046
#define IDC_HEADER_OPTIONS 1047
#define IDC_HEADER_LOG 1048
#define IDC_HEADER_INPUT 1049
#define IDC_HEADER_COMMANDS 1050
#define IDC_START_MINIMIZED 1051
#define IDC_KEY_MAP 1052
#define IDC_HELP_TEXT 1064
#define IDC_USE_PASTE 1065
#define IDC_FASTER_ENGINE_START 1090
#define IDC_EDIT_REPLACEMENTS 1087
#define IDC_RESTORE_CLIPBOARD 1095
#define IDS_APP_TITLE 57344

#include "command_editor_ids.h"
#include "commands_dialog_ids.h"
#include "replacements_dialog_ids.h"
#include "history_dialog_ids.h"
