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
inline constexpr UINT kElevatedStartRow = IDS_ELEVATED_START_ROW;

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

// What the launcher says on its console or in its log file.
inline constexpr UINT kWithErrorFormat = IDS_WITH_ERROR_FORMAT;
inline constexpr UINT kNeedsLevelFormat = IDS_NEEDS_LEVEL_FORMAT;
inline constexpr UINT kBadLevelFormat = IDS_BAD_LEVEL_FORMAT;
inline constexpr UINT kNeedsFileFormat = IDS_NEEDS_FILE_FORMAT;
inline constexpr UINT kUnknownOptionFormat = IDS_UNKNOWN_OPTION_FORMAT;
inline constexpr UINT kCannotWriteSettingFormat = IDS_CANNOT_WRITE_SETTING_FORMAT;
inline constexpr UINT kRootMenuIgnored = IDS_ROOT_MENU_IGNORED;
inline constexpr UINT kLoginOptionsTooLong = IDS_LOGIN_OPTIONS_TOO_LONG;
inline constexpr UINT kLoginPathTooLong = IDS_LOGIN_PATH_TOO_LONG;
inline constexpr UINT kLoginNotWritten = IDS_LOGIN_NOT_WRITTEN;
inline constexpr UINT kLoginNotRemoved = IDS_LOGIN_NOT_REMOVED;
inline constexpr UINT kRunsAtLoginAsFormat = IDS_RUNS_AT_LOGIN_AS_FORMAT;
inline constexpr UINT kNoLongerAtLogin = IDS_NO_LONGER_AT_LOGIN;
inline constexpr UINT kNoneWasRunning = IDS_NONE_WAS_RUNNING;
inline constexpr UINT kStopNotEnded = IDS_STOP_NOT_ENDED;
inline constexpr UINT kOneStopped = IDS_ONE_STOPPED;
inline constexpr UINT kBothStopped = IDS_BOTH_STOPPED;
inline constexpr UINT kAlreadyRunning = IDS_ALREADY_RUNNING;
inline constexpr UINT kNoInstanceLockFormat = IDS_NO_INSTANCE_LOCK_FORMAT;
inline constexpr UINT kCannotLoadFormat = IDS_CANNOT_LOAD_FORMAT;
inline constexpr UINT kNoHookProceduresFormat = IDS_NO_HOOK_PROCEDURES_FORMAT;
inline constexpr UINT kHookNotInstalledFormat = IDS_HOOK_NOT_INSTALLED_FORMAT;
inline constexpr UINT kCannotWriteFormat = IDS_CANNOT_WRITE_FORMAT;
inline constexpr UINT kCannotWatchFormat = IDS_CANNOT_WATCH_FORMAT;
inline constexpr UINT kHooksInstalledFormat = IDS_HOOKS_INSTALLED_FORMAT;
inline constexpr UINT kCompanionLeftOutFormat = IDS_COMPANION_LEFT_OUT_FORMAT;
inline constexpr UINT kCompanionNotUnderWine = IDS_COMPANION_NOT_UNDER_WINE;
inline constexpr UINT kCompanionNotFound = IDS_COMPANION_NOT_FOUND;
inline constexpr UINT kCompanionNotWaitedFor = IDS_COMPANION_NOT_WAITED_FOR;
inline constexpr UINT kCompanionNotStarted = IDS_COMPANION_NOT_STARTED;
inline constexpr UINT kCompanionExitedFormat = IDS_COMPANION_EXITED_FORMAT;
inline constexpr UINT kCompanionNotReadyFormat = IDS_COMPANION_NOT_READY_FORMAT;
inline constexpr UINT kCompanionNotStopped = IDS_COMPANION_NOT_STOPPED;
inline constexpr UINT kNoIcon = IDS_NO_ICON;
inline constexpr UINT kIconRefusedFormat = IDS_ICON_REFUSED_FORMAT;
inline constexpr UINT kSettingsWindowOpen = IDS_SETTINGS_WINDOW_OPEN;
inline constexpr UINT kSettingsShownByRunning = IDS_SETTINGS_SHOWN_BY_RUNNING;

}  // namespace texts

}  // namespace mirelunde
