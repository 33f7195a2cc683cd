// Dialog templates that host the custom controls in their tests (controls_test.rc).
#pragma once

#define IDD_KEY_MAP_TEST 950
#define IDC_KEY_MAP_MAIN 1052
#define IDC_KEY_MAP_COMMANDS 1053
#define IDD_TABLE_TEST 960
#define IDC_TABLE_LIST 1018
#define IDD_HEADER_TEST 970
#define IDC_HEADER_TRIGGER 1046
#define IDC_HEADER_OPTIONS 1047
#define IDC_HEADER_RIGHT 1048
#define IDC_HEADER_HIDDEN 1050
