// The command menu's own texts, as the user reads them: ids of the string tables in res/.
#pragma once

#include "res/TextIds.h"

#include <windows.h>

namespace mirelunde::texts {

inline constexpr UINT kShadeWindow = IDS_SHADE_WINDOW;
inline constexpr UINT kExposeWindow = IDS_EXPOSE_WINDOW;
inline constexpr UINT kSinkWindow = IDS_SINK_WINDOW;
inline constexpr UINT kOnTop = IDS_ON_TOP;
inline constexpr UINT kWhenShaded = IDS_WHEN_SHADED;
inline constexpr UINT kAlways = IDS_ALWAYS;
inline constexpr UINT kAlwaysForThisProgram = IDS_ALWAYS_FOR_THIS_PROGRAM;
inline constexpr UINT kMaximize = IDS_MAXIMIZE;
inline constexpr UINT kVertically = IDS_VERTICALLY;
inline constexpr UINT kHorizontally = IDS_HORIZONTALLY;
inline constexpr UINT kBoth = IDS_BOTH;
inline constexpr UINT kUnmaximize = IDS_UNMAXIMIZE;
inline constexpr UINT kHug = IDS_HUG;
inline constexpr UINT kTop = IDS_TOP;
inline constexpr UINT kRight = IDS_RIGHT;
inline constexpr UINT kLeft = IDS_LEFT;
inline constexpr UINT kBottom = IDS_BOTTOM;
inline constexpr UINT kTopLeft = IDS_TOP_LEFT;
inline constexpr UINT kTopRight = IDS_TOP_RIGHT;
inline constexpr UINT kBottomLeft = IDS_BOTTOM_LEFT;
inline constexpr UINT kBottomRight = IDS_BOTTOM_RIGHT;
inline constexpr UINT kStretchyHugging = IDS_STRETCHY_HUGGING;
inline constexpr UINT kProcess = IDS_PROCESS;
inline constexpr UINT kInfo = IDS_INFO;
inline constexpr UINT kDelete = IDS_DELETE;
inline constexpr UINT kDestroy = IDS_DESTROY;
inline constexpr UINT kConfigure = IDS_CONFIGURE;
inline constexpr UINT kMouse = IDS_MOUSE;
inline constexpr UINT kLeftDoubleClick = IDS_LEFT_DOUBLE_CLICK;
inline constexpr UINT kShade = IDS_SHADE;
inline constexpr UINT kShadeOnRight = IDS_SHADE_ON_RIGHT;
inline constexpr UINT kSinkOnMiddle = IDS_SINK_ON_MIDDLE;
inline constexpr UINT kTwoButtonMouse = IDS_TWO_BUTTON_MOUSE;
inline constexpr UINT kKeyboardShortcuts = IDS_KEYBOARD_SHORTCUTS;
inline constexpr UINT kSystemMenu = IDS_SYSTEM_MENU;
inline constexpr UINT kRunAtLogin = IDS_RUN_AT_LOGIN;
inline constexpr UINT kStopNow = IDS_STOP_NOW;
inline constexpr UINT kAbout = IDS_ABOUT;
inline constexpr UINT kLeaveProgramAlone = IDS_LEAVE_PROGRAM_ALONE;
inline constexpr UINT kSettings = IDS_SETTINGS;

inline constexpr UINT kSystemMenuItem = IDS_SYSTEM_MENU_ITEM;

}  // namespace mirelunde::texts
