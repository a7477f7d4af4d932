// The shortcuts' hotkeys and the requests they send; the library in each program answers in the
// thread that owns the window, so a program of either architecture is served by its own library.
#include "launcher/Hotkeys.h"

#include "settings/SettingsNames.h"

#include <map>

namespace mirelunde {

namespace {

// Hotkey identifiers an application may use start at 0; each command's is its number plus this.
constexpr int kFirstHotkeyId = 1;

Hotkeys* registered = nullptr;

using ThreadWindow = std::map<DWORD, HWND>;

BOOL CALLBACK CollectThreadWindow(HWND window, LPARAM param) noexcept
{
    try {
        reinterpret_cast<ThreadWindow*>(param)->emplace(GetWindowThreadProcessId(window, nullptr), window);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

Hotkeys::~Hotkeys()
{
    Unregister();
}

void Hotkeys::Register(HWND window)
{
    Unregister();
    window_ = window;
    registered = this;
    const auto stored = ReadShortcuts();
    for (size_t i = 0; i < kShortcutCount; ++i) {
        keys_[i] = stored[i].key;
        if (stored[i].fault != ShortcutFault::None) {
            states_[i] = HotkeyState::NotParsed;
        } else if (!stored[i].Set()) {
            states_[i] = HotkeyState::None;
        } else {
            const bool taken = !RegisterHotKey(window, kFirstHotkeyId + static_cast<int>(i),
                                               stored[i].key.modifiers | MOD_NOREPEAT, stored[i].key.key);
            states_[i] = taken ? HotkeyState::Taken : HotkeyState::Active;
        }
    }
}

void Hotkeys::Unregister()
{
    for (size_t i = 0; i < kShortcutCount; ++i) {
        if (states_[i] == HotkeyState::Active) UnregisterHotKey(window_, kFirstHotkeyId + static_cast<int>(i));
        states_[i] = HotkeyState::None;
    }
    if (registered == this) registered = nullptr;
}

void Hotkeys::Reload()
{
    if (window_ != nullptr && GetWindowThreadProcessId(window_, nullptr) == GetCurrentThreadId()) Register(window_);
}

void Hotkeys::OnHotkey(WPARAM id) const
{
    if (id < kFirstHotkeyId || id >= kFirstHotkeyId + kShortcutCount) return;
    const LPARAM command = static_cast<LPARAM>(id - kFirstHotkeyId);
    const UINT request = RegisterWindowMessageA(names::kRestoreMessage);
    if (request == 0) return;
    // Sent without waiting: a program that is busy or hung runs the command when it next takes a
    // message, or never, and holds up nothing here.
    const auto which = static_cast<ShortcutCommand>(command);
    if (which != ShortcutCommand::ShadeAll && which != ShortcutCommand::UnshadeAll) {
        if (const HWND front = GetForegroundWindow()) SendNotifyMessageA(front, request, names::kRunShortcut, command);
        return;
    }
    ThreadWindow threads;
    EnumWindows(CollectThreadWindow, reinterpret_cast<LPARAM>(&threads));
    for (const auto& [thread, window] : threads) SendNotifyMessageA(window, request, names::kRunShortcut, command);
}

Hotkeys* RegisteredHotkeys()
{
    return registered;
}

}  // namespace mirelunde
