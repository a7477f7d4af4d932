// The numbers of the launcher's dialogs and their controls, shared by Launcher.rc and the code (the
// resource compiler reads only macros). The dialogs' texts are set from the texts headers.
#pragma once

#define IDD_SETTINGS 200
#define IDD_ADD_PROGRAM 201

#define IDC_MOUSE_GROUP 1001
#define IDC_DOUBLE_CLICK_LABEL 1002
#define IDC_DOUBLE_CLICK_SHADES 1003
#define IDC_DOUBLE_CLICK_MAXIMIZES 1004
#define IDC_RIGHT_CLICK_SHADES 1005
#define IDC_SINK_ON_MIDDLE 1006
#define IDC_TWO_BUTTON_MOUSE 1007
#define IDC_OPTIONS_GROUP 1008
#define IDC_KEYBOARD 1009
#define IDC_HUG_STRETCH 1010
#define IDC_SYSTEM_MENU 1011
#define IDC_RUN_AT_LOGIN 1012
#define IDC_EXCLUDED_LABEL 1020
#define IDC_EXCLUDED_LIST 1021
#define IDC_EXCLUDED_ADD 1022
#define IDC_EXCLUDED_REMOVE 1023
#define IDC_EXCLUDED_FAULT 1024
#define IDC_KEPT_LABEL 1025
#define IDC_KEPT_LIST 1026
#define IDC_KEPT_ADD 1027
#define IDC_KEPT_REMOVE 1028
#define IDC_KEPT_FAULT 1029
#define IDC_TAKES_EFFECT 1030
#define IDC_APPLY 1031
#define IDC_LANGUAGE_LABEL 1032
#define IDC_LANGUAGE 1033
#define IDC_PAGES 1034
#define IDC_ELEVATED_START 1035

#define IDC_RUNNING_LABEL 1040
#define IDC_RUNNING_LIST 1041
#define IDC_BROWSE 1042
