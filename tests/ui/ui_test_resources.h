// Dialog templates of the window-layer tests (ui_test.rc).
#pragma once

#define IDD_UI_TEST_DIALOG 900
#define IDC_UI_TEST_LABEL 901
#define IDC_UI_TEST_OWNERDRAW_LIST 902
#define IDC_UI_TEST_ACTION 903
#define IDD_UI_TEST_PANEL 910
#define IDC_UI_TEST_PANEL_LABEL 911
#define IDC_UI_TEST_PANEL_BUTTON 912
#define IDD_UI_TEST_HOST 920
