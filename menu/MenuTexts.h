// The command menu's own texts, as the user reads them.
#pragma once

namespace mirelunde::texts {

inline constexpr char kShadeWindow[] = "Shade window";
inline constexpr char kExposeWindow[] = "Expose window";
inline constexpr char kSinkWindow[] = "Sink window";
inline constexpr char kOnTop[] = "On Top";
inline constexpr char kWhenShaded[] = "When shaded";
inline constexpr char kAlways[] = "Always";
inline constexpr char kAlwaysForThisProgram[] = "Always for this program";
inline constexpr char kMaximize[] = "Maximize";
inline constexpr char kVertically[] = "Vertically";
inline constexpr char kHorizontally[] = "Horizontally";
inline constexpr char kBoth[] = "Both";
inline constexpr char kUnmaximize[] = "Un-maximize";
inline constexpr char kHug[] = "Hug";
inline constexpr char kTop[] = "Top";
inline constexpr char kRight[] = "Right";
inline constexpr char kLeft[] = "Left";
inline constexpr char kBottom[] = "Bottom";
inline constexpr char kTopLeft[] = "Top Left";
inline constexpr char kTopRight[] = "Top Right";
inline constexpr char kBottomLeft[] = "Bottom Left";
inline constexpr char kBottomRight[] = "Bottom Right";
inline constexpr char kStretchyHugging[] = "Stretchy hugging";
inline constexpr char kProcess[] = "Process";
inline constexpr char kInfo[] = "Info";
inline constexpr char kDelete[] = "Delete";
inline constexpr char kDestroy[] = "Destroy";
inline constexpr char kConfigure[] = "Configure";
inline constexpr char kMouse[] = "Mouse";
inline constexpr char kLeftDoubleClick[] = "Left button double-click";
inline constexpr char kShade[] = "Shade";
inline constexpr char kShadeOnRight[] = "Shade on right button";
inline constexpr char kSinkOnMiddle[] = "Sink on middle button";
inline constexpr char kTwoButtonMouse[] = "Two button mouse";
inline constexpr char kKeyboardShortcuts[] = "Keyboard shortcuts";
inline constexpr char kSystemMenu[] = "System Menu";
inline constexpr char kRunAtLogin[] = "Run Mirelunde at login";
inline constexpr char kStopNow[] = "Stop Mirelunde now";
inline constexpr char kAbout[] = "About Mirelunde ...";
inline constexpr char kLeaveProgramAlone[] = "Leave this program alone";
inline constexpr char kSettings[] = "Settings ...";

inline constexpr char kSystemMenuItem[] = "Mirelunde ...";

}  // namespace mirelunde::texts
