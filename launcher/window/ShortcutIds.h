// The numbers of the settings window's "Shortcuts" part and its controls, shared by its resource and
// the code. Row i of the part has the controls IDC_SHORTCUT_...0 + i.
#pragma once

#define IDD_SHORTCUTS 202

#define IDC_SHORTCUTS_PART 1100
#define IDC_SHORTCUTS_GROUP 1101
#define IDC_SHORTCUTS_RULE 1102
#define IDC_SHORTCUT_LABEL0 1110
#define IDC_SHORTCUT_FIELD0 1130
#define IDC_SHORTCUT_CLEAR0 1150
#define IDC_SHORTCUT_STATE0 1170
