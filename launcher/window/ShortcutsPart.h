// The settings window's "Shortcuts" part: a field for each command's shortcut, which shows the keys
// pressed in it, a "Clear" for each, and why a shortcut is inactive.
#pragma once

#include "settings/ShortcutKeys.h"

#include <windows.h>

#include <array>
#include <string>

namespace mirelunde {

class ShortcutsPart {
public:
    // Puts the part into the settings window, next in the keyboard's order after the control `after`,
    // each field and state holding the widest text it shows, for the window to make room for. As a
    // field changes, the part sends the window WM_COMMAND with IDC_SHORTCUTS_PART and EN_CHANGE.
    void Open(HWND settingsWindow, HWND after);
    // Shows the stored shortcuts.
    void Load();
    // Whether a field differs from what is stored.
    bool Changed() const { return shown_ != stored_; }
    // Writes the changed shortcuts, has this launcher register its hotkeys again at once and shows what
    // is stored then; each value it could not write is added to `failures`.
    void Write(std::string& failures);

private:
    static INT_PTR CALLBACK Procedure(HWND part, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void ShowState(size_t row) const;
    void OnCommand(int control, int code);

    HWND window_ = nullptr;
    HWND part_ = nullptr;
    bool loading_ = false;
    std::array<std::string, kShortcutCount> stored_;
    std::array<std::string, kShortcutCount> shown_;
};

}  // namespace mirelunde
