// The settings key and the names of its values, as every process and the launcher know them.
#pragma once

namespace mirelunde::names {

inline constexpr char kSettingsKey[] = "Software\\Pellamor\\Mirelunde";
inline constexpr char kModules[] = "Modules";
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

inline constexpr char kHHook[] = "HHook";
inline constexpr char kHWndHook[] = "HWndHook";
inline constexpr char kDebugLevel[] = "Debug Level";
inline constexpr char kTwoButtonMouse[] = "Take account of two button mouse";
inline constexpr char kAddToSystemMenu[] = "Add menu to System Menu";
inline constexpr char kSoleProcess[] = "Sole process to debug";
inline constexpr char kDebugProcessDetach[] = "Debug Process Detach";
inline constexpr char kInvertDoubleClicks[] = "Invert Left and Right Button DoubleClicks";
inline constexpr char kRightClickShades[] = "Right click shades";
inline constexpr char kSinkOnMiddle[] = "Sink on middle mouse button click";
inline constexpr char kEnableKeyboard[] = "Enable keyboard";
inline constexpr char kHugStretch[] = "Hug Stretch";
inline constexpr char kExcludedPrograms[] = "Excluded programs";
inline constexpr char kProgramsKeptOnTop[] = "Programs kept on top";
// The language of the texts: a tag such as "de-DE"; empty, unknown or absent leaves Windows' choice.
inline constexpr char kLanguage[] = "Language";

// The user's choice that Alt, keypad + and hex digits type a character: a REG_SZ, "1" when on.
inline constexpr char kInputMethodKey[] = "Control Panel\\Input Method";
inline constexpr char kEnableHexNumpad[] = "EnableHexNumpad";

inline constexpr char kPath[] = "Path";
inline constexpr char kRunEntry[] = "Mirelunde";
inline constexpr char kLegacyRunEntry[] = "brackwen";

// Set in the launcher's environment before it loads the library.
inline constexpr char kLauncherMarker[] = "MIRELUNDE_LAUNCHER";

// The message the launcher sends to one window of every GUI thread as it stops, after it has
// removed the message hook and before the window-procedure hook. The command menu sends it to the
// threads of its own program too; its wParam says what the thread does with its windows. The
// launcher's shortcuts send kRunShortcut, with the ShortcutCommand in lParam, to the window in front or,
// for the commands on every window, to one window of every thread.
inline constexpr char kRestoreMessage[] = "Mirelunde put windows back";
enum ThreadRequest : unsigned {
    kPutWindowsBack = 0,
    kKeepWindowsOnTop = 1,
    kStopKeepingWindowsOnTop = 2,
    kRunShortcut = 3
};

// The launcher's hidden window (its notification-area icon's), which the library finds to ask for
// the settings window, and the message it asks with.
inline constexpr char kLauncherWindowClass[] = "Mirelunde notification icon";
inline constexpr char kSettingsRequest[] = "Mirelunde show settings";
// The same request as an event the library signals: a launcher run as administrator takes no message
// from programs below it, and admits only the user's own programs to the event.
inline constexpr char kSettingsRequestEvent[] = "Local\\Mirelunde.Settings request";

// Starting the launcher as administrator at the user's logon: a task of the Task Scheduler in this
// folder of the task library, named by the user's SID, as more than one user may run one install.
inline constexpr char kTaskFolder[] = "\\Mirelunde";
// The login entry as it was when that start was switched on, a REG_SZ; absent when there was none.
// The task takes the entry's place, and switching the task off puts it back.
inline constexpr char kLoginEntrySetAside[] = "Login entry set aside";

inline constexpr char kCaption[] = "Mirelunde";
inline constexpr char kProcessDetachFormat[] = "%s : process detach";

}  // namespace mirelunde::names
