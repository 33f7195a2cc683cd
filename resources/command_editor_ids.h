// Resource ids of the command editor and its action panels.
#pragma once

// Dialog templates: the editor and one child panel per action type.
#define IDD_COMMAND_EDIT 131
#define IDD_PANEL_KEY_CHORD 132
#define IDD_PANEL_KEY_SEQUENCE 133
#define IDD_PANEL_RUN_APP 134
#define IDD_PANEL_INSERT_TEXT 136
#define IDD_PANEL_SYSTEM_COMMAND 138

// Controls of the command editor.
#define IDC_EDITOR_PHRASE 1025
#define IDC_EDITOR_ENABLED 1026
#define IDC_EDITOR_ACTION_TYPE 1027
#define IDC_EDITOR_PANEL_PLACEHOLDER 1053

// Controls of the action panels. The two key panels share the chord field and its button.
#define IDC_PANEL_STEP_LIST 1028
#define IDC_PANEL_STEP_ADD 1029
#define IDC_PANEL_STEP_REMOVE 1030
#define IDC_PANEL_STEP_MOVE_UP 1031
#define IDC_PANEL_STEP_MOVE_DOWN 1032
#define IDC_PANEL_APP_PATH 1039
#define IDC_PANEL_APP_ARGS 1040
#define IDC_PANEL_APP_BROWSE 1041
#define IDC_PANEL_CHORD_TEXT 1042
#define IDC_PANEL_CAPTURE 1043
#define IDC_PANEL_TEXT_BODY 1059
#define IDC_PANEL_TEXT_VARIABLES 1060
#define IDC_PANEL_SYS_COMMAND 1061
#define IDC_PANEL_SYS_ARG 1062
#define IDC_PANEL_SYS_ARG_LABEL 1063
