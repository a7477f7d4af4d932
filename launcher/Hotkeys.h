// The shortcuts of the user's choice as system hotkeys of the launcher: no program's keys pass
// through the library for them. A hotkey asks the library in the window in front, or in every
// window's thread, to run its command.
#pragma once

#include "settings/ShortcutKeys.h"

#include <windows.h>

#include <array>

namespace mirelunde {

enum class HotkeyState {
    None,       // no shortcut stored
    Active,     // registered
    Taken,      // the system refused it: another program has it
    NotParsed,  // the stored text names no key
};

class Hotkeys {
public:
    Hotkeys() = default;
    Hotkeys(const Hotkeys&) = delete;
    Hotkeys& operator=(const Hotkeys&) = delete;
    ~Hotkeys();

    // Registers the stored shortcuts for `window`, which must be the calling thread's, dropping those
    // it held; called again, it reads them again. A shortcut the system refuses stays inactive.
    void Register(HWND window);
    void Unregister();
    // Reads and registers the stored shortcuts again, when called on the window's thread.
    void Reload();
    // WM_HOTKEY of the window.
    void OnHotkey(WPARAM id) const;

    HotkeyState State(size_t command) const { return states_[command]; }
    const ShortcutKey& Key(size_t command) const { return keys_[command]; }

private:
    HWND window_ = nullptr;
    std::array<HotkeyState, kShortcutCount> states_{};
    std::array<ShortcutKey, kShortcutCount> keys_{};
};

// The hotkeys this process has registered, or null: the settings window shows their states and has
// them registered again after OK or Apply.
Hotkeys* RegisteredHotkeys();

}  // namespace mirelunde
