// The texts of the process and product commands: questions, the information header, the usage text;
// ids of the string tables in res/, but for the names that are never translated.
#pragma once

#include "Version.h"
#include "res/TextIds.h"

#include <windows.h>

#include <cstddef>

namespace mirelunde::texts {

// The most a message box shows whole: the platform passes its text on as a counted string of at
// most 32,767 characters, and longer texts come out mangled.
inline constexpr size_t kLongestBoxText = 32000;

inline constexpr UINT kStopQuestion = IDS_STOP_QUESTION;

inline constexpr UINT kDeleteQuestion = IDS_DELETE_QUESTION;
inline constexpr UINT kDeleteLastChance = IDS_DELETE_LAST_CHANCE;
inline constexpr UINT kDestroyQuestion = IDS_DESTROY_QUESTION;
inline constexpr UINT kDestroyLastChance = IDS_DESTROY_LAST_CHANCE;

// The boxes of the menu's rows for the lists of programs.
inline constexpr size_t kListBoxTextSize = 256;
inline constexpr UINT kNotListedFormat = IDS_NOT_LISTED_FORMAT;
inline constexpr UINT kNotKeptOnTopFormat = IDS_NOT_KEPT_ON_TOP_FORMAT;
// Why: the list, or the program's name.
inline constexpr UINT kListCannotTakeIt = IDS_LIST_CANNOT_TAKE_IT;
inline constexpr UINT kNameHoldsSeparator = IDS_NAME_HOLDS_SEPARATOR;
inline constexpr UINT kNameTooLong = IDS_NAME_TOO_LONG;
inline constexpr UINT kStillKeptOnTopFormat = IDS_STILL_KEPT_ON_TOP_FORMAT;

inline constexpr UINT kInfoHeaderFormat = IDS_INFO_HEADER_FORMAT;
inline constexpr UINT kUnknownPriority = IDS_UNKNOWN_PRIORITY;

inline constexpr char kProductName[] = "Mirelunde";
inline constexpr UINT kHelpBanner = IDS_HELP_BANNER;
inline constexpr char kHelpContact[] = "mirelunde@pellamor.example";
inline constexpr UINT kHelpUsageFormat = IDS_HELP_USAGE_FORMAT;
inline constexpr UINT kHelpOptions = IDS_HELP_OPTIONS;
inline constexpr UINT kHelpKillFormat = IDS_HELP_KILL_FORMAT;
inline constexpr UINT kHelpLoginFormat = IDS_HELP_LOGIN_FORMAT;
inline constexpr UINT kHelpMoreOptions = IDS_HELP_MORE_OPTIONS;
inline constexpr UINT kHelpContactIntro = IDS_HELP_CONTACT_INTRO;
inline constexpr UINT kHelpQuib = IDS_HELP_QUIB;

}  // namespace mirelunde::texts
