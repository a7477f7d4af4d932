// The shortcuts of the user's choice: the keys each command's value under "Shortcuts" names, read
// and written as text ("Ctrl+Alt+F11"), and the commands they run.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <string>

namespace mirelunde {

// The commands a chosen shortcut runs, in the order of their value names below; the hook maps each
// to what it does.
enum class ShortcutCommand : unsigned {
    CommandMenu,
    ShadeWindow,
    SinkWindow,
    OnTopAlways,
    OnTopWhenShaded,
    StretchVertically,
    StretchHorizontally,
    StretchBoth,
    Unmaximize,
    HugTop,
    HugRight,
    HugLeft,
    HugBottom,
    HugTopLeft,
    HugTopRight,
    HugBottomLeft,
    HugBottomRight,
    ShadeAll,
    UnshadeAll,
};
inline constexpr size_t kShortcutCount = static_cast<size_t>(ShortcutCommand::UnshadeAll) + 1;

namespace names {
// The key below the settings key that holds them.
inline constexpr char kShortcuts[] = "Shortcuts";
// One REG_SZ value per command, never translated.
inline constexpr std::array<const char*, kShortcutCount> kShortcutValues = {"Command menu",
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
}  // namespace names

// Modifiers as RegisterHotKey takes them (MOD_CONTROL, MOD_ALT, MOD_SHIFT, MOD_WIN) and a virtual key.
struct ShortcutKey {
    UINT modifiers = 0;
    UINT key = 0;
    bool operator==(const ShortcutKey&) const = default;
};

enum class ShortcutFault {
    None,
    NotAKey,       // `part` names what is not a key's name
    NeedsModifier  // a key that types, with no Ctrl, Alt or Win: it would take the typing of every program
};

// What a stored value says. Empty text is no shortcut and no fault.
struct StoredShortcut {
    std::string text;
    ShortcutKey key;
    ShortcutFault fault = ShortcutFault::None;
    std::string part;
    bool Set() const { return key.key != 0; }
};

// Modifiers and one key joined by '+', case and blanks around the names ignored: "Ctrl+Alt+F11",
// "win + shift + r", "Alt+Num +".
StoredShortcut ParseShortcut(const std::string& text);
// The text of a key as ParseShortcut reads it, modifiers first: "Ctrl+Alt+F11"; empty when the key
// has no name here.
std::string ShortcutText(ShortcutKey key);

// Every command's value as stored now; an absent value, or one that is not text, is no shortcut.
std::array<StoredShortcut, kShortcutCount> ReadShortcuts();
// Empty text writes an empty value: no shortcut.
bool WriteShortcut(ShortcutCommand command, const std::string& text);

}  // namespace mirelunde
