// The texts of the process and product commands: questions, the information header, the usage text.
#pragma once

#include "Version.h"

#include <cstddef>

namespace mirelunde::texts {

// The most a message box shows whole: the platform passes its text on as a counted string of at
// most 32,767 characters, and longer texts come out mangled.
inline constexpr size_t kLongestBoxText = 32000;

inline constexpr char kStopQuestion[] = "Are you sure you want to stop Mirelunde?";

inline constexpr char kDeleteQuestion[] =
    "Deleting a process should only be used as a penultimate resort.\n(It's not a lot nicer than destroying a "
    "process.)\n\nAre you sure you want to do this?";
inline constexpr char kDeleteLastChance[] = "Last chance to say no:\n\n\tDelete this process?";
inline constexpr char kDestroyQuestion[] =
    "Destroying a process should only be used as a last resort.\n\nAre you really sure you want to do this?";
inline constexpr char kDestroyLastChance[] = "Really, really sure you want to do this?";

// The boxes of the menu's rows for the lists of programs.
inline constexpr size_t kListBoxTextSize = 256;
inline constexpr char kNotListedFormat[] =
    "Mirelunde leaves this program alone until it ends, but could not add it to \"%s\": %s";
inline constexpr char kNotKeptOnTopFormat[] =
    "Mirelunde keeps this program's windows on top until it ends, but could not add it to \"%s\": %s";
// Why: the list, or the program's name.
inline constexpr char kListCannotTakeIt[] = "the list is full, or holds something that is not a program's name.";
inline constexpr char kNameHoldsSeparator[] = "its name holds \";\", which the list puts between names.";
inline constexpr char kNameTooLong[] = "its name is longer than the list can hold.";
inline constexpr char kStillKeptOnTopFormat[] =
    "Mirelunde no longer keeps this program's windows on top, but could not take it off \"%s\", so they will "
    "be again when it next starts.";

inline constexpr char kInfoHeaderFormat[] = "Command-line: %s\nPriority: %s\n\nEnvironment variables:\n\n";
inline constexpr char kUnknownPriority[] = "Unknown";

inline constexpr char kProductName[] = "Mirelunde";
inline constexpr char kHelpBanner[] =
    "Mirelunde " MIRELUNDE_VERSION_TEXT ": window shading and window commands for every program\n\n";
inline constexpr char kHelpContact[] = "mirelunde@pellamor.example";
inline constexpr char kHelpUsageFormat[] = "Usage:\n\n  %s [<options>]\n\n";
inline constexpr char kHelpOptions[] =
    "Options:\t\t\t[now mostly redundant/deprecated, see 'Configure' menu]\n\n"
    "  -d <level> or --debug <level>\t: amount of debug info to display\n"
    "  --debug-process-detach\t\t: raise a messagebox when dll is detaching from a process\n"
    "  -dm or --depth-on-middle\t\t: enable raise/sink window on middle-click\n"
    "  -h  or --help\t\t\t: display this help message\n"
    "  -2  or --two-button-mouse\t\t: right button behaves as middle button would have done\n"
    "  -i  or --invert\t\t\t: swap behaviour of left and middle button doubleclicks\n";
inline constexpr char kHelpKillFormat[] = "  -k  or --kill\t\t\t: stop any running %s\n";
inline constexpr char kHelpLoginFormat[] =
    "  --login [on|off]\t\t\t: run %s with given options at login. Use 'off' to cancel.\n";
inline constexpr char kHelpMoreOptions[] =
    "  -m or --root-menu\t\t\t: enable desktop menu on middle-click\n"
    "  -s or --system-menu [on|off]\t: put the Mirelunde menu item in the System Menu\n\n";
inline constexpr char kHelpContactIntro[] =
    "email with plaudits or problems (but _only_ after reading the docs!) to:\n\n";
inline constexpr char kHelpQuib[] = "\nQuib:\t";

}  // namespace mirelunde::texts
