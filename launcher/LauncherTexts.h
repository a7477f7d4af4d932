// The launcher's own texts: its notification-area icon, its settings window, and the names others
// find it by. The settings window's choices are named with the command menu's texts.
#pragma once

#include "res/TextIds.h"
#include "settings/SettingsNames.h"

#include <windows.h>

namespace mirelunde {

// The icon's window class, callback message and id, as the shell (and a test) address the icon.
inline constexpr const char* kNotifyWindowClass = names::kLauncherWindowClass;
inline constexpr UINT kNotifyIconMessage = WM_APP + 1;
inline constexpr UINT kNotifyIconId = 1;
// The icon group in the launcher's resources, the same picture as the library's.
inline constexpr WORD kIconGroup = 104;

namespace texts {

inline constexpr char kIconTip[] = "Mirelunde";
inline constexpr UINT kStopMirelunde = IDS_STOP_MIRELUNDE;

// The settings window, found by its caption as well.
inline constexpr UINT kSettingsCaption = IDS_SETTINGS_CAPTION;
inline constexpr UINT kOptions = IDS_OPTIONS;
inline constexpr UINT kExcludedProgramsLabel = IDS_EXCLUDED_PROGRAMS_LABEL;
inline constexpr UINT kKeptOnTopLabel = IDS_KEPT_ON_TOP_LABEL;
inline constexpr UINT kAdd = IDS_ADD;
inline constexpr UINT kRemove = IDS_REMOVE;
inline constexpr UINT kOk = IDS_OK;
inline constexpr UINT kCancel = IDS_CANCEL;
inline constexpr UINT kApply = IDS_APPLY;
inline constexpr UINT kTakesEffectFormat = IDS_TAKES_EFFECT_FORMAT;
inline constexpr UINT kNotWrittenFormat = IDS_NOT_WRITTEN_FORMAT;
// The "Language" row: Windows' choice, then each language of the tables named in its own words.
inline constexpr UINT kLanguageLabel = IDS_LANGUAGE_LABEL;
inline constexpr UINT kWindowsChoice = IDS_WINDOWS_CHOICE;
inline constexpr UINT kLanguageName = IDS_LANGUAGE_NAME;
// The settings window's pages: its general choices, and the "Shortcuts" part (kShortcuts).
inline constexpr UINT kGeneral = IDS_GENERAL;

// The settings window's "Shortcuts" part: a row for each command of the user's shortcuts, in the order
// of ShortcutCommand, and why a shortcut is inactive.
inline constexpr UINT kShortcuts = IDS_SHORTCUTS;
inline constexpr UINT kShortcutsRule = IDS_SHORTCUTS_RULE;
inline constexpr UINT kFirstShortcutLabel = IDS_SC_COMMAND_MENU;  // then one a command, in order
inline constexpr UINT kClear = IDS_CLEAR;
inline constexpr UINT kShortcutTaken = IDS_SHORTCUT_TAKEN;
inline constexpr UINT kShortcutNotAKeyFormat = IDS_SHORTCUT_NOT_A_KEY_FORMAT;
inline constexpr UINT kShortcutNeedsModifierFormat = IDS_SHORTCUT_NEEDS_MODIFIER_FORMAT;

// What keeps the library from reading a stored list of programs, and what the window does about it.
inline constexpr UINT kListTooLongFormat = IDS_LIST_TOO_LONG_FORMAT;
inline constexpr UINT kListBadEntryFormat = IDS_LIST_BAD_ENTRY_FORMAT;
inline constexpr UINT kListZeroByte = IDS_LIST_ZERO_BYTE;
inline constexpr UINT kListNotTextFormat = IDS_LIST_NOT_TEXT_FORMAT;
inline constexpr UINT kListKept = IDS_LIST_KEPT;
inline constexpr UINT kListReplaces = IDS_LIST_REPLACES;
inline constexpr UINT kListNotSaved = IDS_LIST_NOT_SAVED;

// A program "Add ..." cannot put on a list.
inline constexpr UINT kNameHoldsSeparatorFormat = IDS_NAME_HOLDS_SEPARATOR_FORMAT;
inline constexpr UINT kNameTooLongFormat = IDS_NAME_TOO_LONG_FORMAT;

// The window that "Add ..." opens.
inline constexpr UINT kAddProgramCaption = IDS_ADD_PROGRAM_CAPTION;
inline constexpr UINT kRunningPrograms = IDS_RUNNING_PROGRAMS;
inline constexpr UINT kBrowse = IDS_BROWSE;
inline constexpr UINT kBrowseCaption = IDS_BROWSE_CAPTION;
// Pairs of a description and a pattern, each ended by a '|'.
inline constexpr UINT kProgramFilter = IDS_PROGRAM_FILTER;

// A launcher run as administrator refuses a folder others can change, and the task that starts it so.
inline constexpr UINT kUnsafeStartFormat = IDS_UNSAFE_START_FORMAT;
inline constexpr UINT kUnsafeElevatedStartFormat = IDS_UNSAFE_ELEVATED_START_FORMAT;
inline constexpr UINT kUnknownAccount = IDS_UNKNOWN_ACCOUNT;
inline constexpr UINT kNeedsAdministrator = IDS_NEEDS_ADMINISTRATOR;
inline constexpr UINT kElevatedStartOnFormat = IDS_ELEVATED_START_ON_FORMAT;
inline constexpr UINT kElevatedStartOff = IDS_ELEVATED_START_OFF;
inline constexpr UINT kElevatedStartFailedFormat = IDS_ELEVATED_START_FAILED_FORMAT;

}  // namespace texts

}  // namespace mirelunde
