// The launcher's own texts: its notification-area icon, its settings window, and the names others
// find it by. The settings window's choices are named with the command menu's texts.
#pragma once

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
inline constexpr char kStopMirelunde[] = "Stop Mirelunde";

// The settings window, found by its caption as well.
inline constexpr char kSettingsCaption[] = "Mirelunde Settings";
inline constexpr char kOptions[] = "Options";
inline constexpr char kExcludedProgramsLabel[] = "Programs Mirelunde leaves alone";
inline constexpr char kKeptOnTopLabel[] = "Programs kept on top";
inline constexpr char kAdd[] = "Add ...";
inline constexpr char kRemove[] = "Remove";
inline constexpr char kOk[] = "OK";
inline constexpr char kCancel[] = "Cancel";
inline constexpr char kApply[] = "Apply";
inline constexpr char kTakesEffectFormat[] =
    "\"%s\", \"%s\" and the two lists of programs reach only programs started after OK or Apply; the "
    "other choices reach running programs at once.";
inline constexpr char kNotWrittenFormat[] = "Could not save \"%s\".";

// The settings window's "Shortcuts" part: a row for each command of the user's shortcuts, in the order
// of ShortcutCommand, and why a shortcut is inactive.
inline constexpr char kShortcuts[] = "Shortcuts";
inline constexpr char kShortcutsRule[] =
    "Click a field and press the keys: Ctrl, Alt, Shift or Win with one other key. A letter, digit, "
    "Space or keypad key needs Ctrl, Alt or Win. Alt with the keypad works as before.";
inline constexpr const char* kShortcutLabels[] = {"Command menu",
                                                  "Shade window",
                                                  "Sink window",
                                                  "On top always",
                                                  "On top when shaded",
                                                  "Stretch vertically",
                                                  "Stretch horizontally",
                                                  "Stretch both",
                                                  "Un-maximize",
                                                  "Hug top",
                                                  "Hug right",
                                                  "Hug left",
                                                  "Hug bottom",
                                                  "Hug top left",
                                                  "Hug top right",
                                                  "Hug bottom left",
                                                  "Hug bottom right",
                                                  "Shade all",
                                                  "Unshade all"};
inline constexpr char kClear[] = "Clear";
inline constexpr char kShortcutTaken[] = "Already used by another program";
inline constexpr char kShortcutNotAKeyFormat[] = "Not a key: %s";
inline constexpr char kShortcutNeedsModifierFormat[] = "Needs Ctrl, Alt or Win: %s";

// What keeps the library from reading a stored list of programs, and what the window does about it.
inline constexpr char kListTooLongFormat[] = "The list is %zu characters long; Mirelunde reads at most %u.";
inline constexpr char kListBadEntryFormat[] =
    "\"%s\" is not a program's file name: it holds a character no file "
    "name can hold.";
inline constexpr char kListZeroByte[] = "The stored list holds a zero byte; only the text before it is shown.";
inline constexpr char kListNotTextFormat[] = "The stored list is not text (registry type %lu, %lu bytes).";
inline constexpr char kListKept[] =
    " While it is so, the list names no program to Mirelunde. It is kept as it is unless you change it here.";
inline constexpr char kListReplaces[] = "OK or Apply replaces the stored list that Mirelunde could not read.";
inline constexpr char kListNotSaved[] =
    "\n\nNothing was saved. Change the list, or choose Cancel to leave everything as it was.";

// A program "Add ..." cannot put on a list.
inline constexpr char kNameHoldsSeparatorFormat[] =
    "\"%s\" cannot go on the list: its name holds \";\", which the list puts between names.";
inline constexpr char kNameTooLongFormat[] = "\"%s\" cannot go on the list: it is longer than %u characters.";

// The window that "Add ..." opens.
inline constexpr char kAddProgramCaption[] = "Add a program";
inline constexpr char kRunningPrograms[] = "Programs running now:";
inline constexpr char kBrowse[] = "Browse ...";
inline constexpr char kBrowseCaption[] = "Choose a program";
// Pairs of a description and a pattern, each ended by a zero; the string's own zero ends the list.
inline constexpr char kProgramFilter[] = "Programs (*.exe)\0*.exe\0";

}  // namespace texts

}  // namespace mirelunde
