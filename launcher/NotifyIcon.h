// The launcher's icon in the notification area, with its menu: the settings window, the usage box,
// the login entry and the stop.
#pragma once

#include "launcher/Hotkeys.h"
#include "settings/Handles.h"

#include <atomic>
#include <string>

namespace mirelunde {

// The icon's menu as it is shown now: the settings window (its default item, what a double-click on
// the icon opens), the usage box, "Run Mirelunde at login" checked when the login entry is there,
// and the stop. Its command ids are those of `NotifyIcon`.
Menu IconMenu();

class NotifyIcon {
public:
    NotifyIcon() = default;
    NotifyIcon(const NotifyIcon&) = delete;
    NotifyIcon& operator=(const NotifyIcon&) = delete;

    // Puts the icon up from a thread of its own, which answers the icon's menu, so that a menu or
    // a box left open never holds up a stop. The login entry that the menu switches on carries
    // `startOptions`. When the shell refuses the icon, says so on stderr; the icon is offered again
    // until the shell takes it. Its window closed from outside, or told that the session ends,
    // requests the stop.
    void Show(const std::string& startOptions);
    // Takes the icon away and ends its thread, closing a menu or box it shows.
    void Remove();
    ~NotifyIcon() { Remove(); }

private:
    static DWORD WINAPI Run(void* self) noexcept;
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    bool Add();
    void ListenForRequests();
    static void CALLBACK OnRequest(void* self, BOOLEAN) noexcept;
    LRESULT OnClose(UINT message, bool sessionEnds);
    void OnIconEvent(WPARAM wParam, LPARAM lParam);
    void ShowMenu(POINT at);
    void OpenSettings();

    std::string startOptions_;
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
    UINT taskbarCreated_ = 0;
    UINT settingsRequest_ = 0;  // the library's request for the settings window
    POINT clickedAt_{};
    ULONGLONG doubleClickedAt_ = 0;
    bool version4_ = false;
    bool added_ = false;
    DWORD addError_ = 0;
    std::atomic<bool> removed_{false};  // set only by Remove(): a close it did not ask for is a stop
    std::atomic<bool> sessionEnding_{false};
    Handle requestEvent_;           // the library's request for the settings window, as an event
    HANDLE requestWait_ = nullptr;  // the pool's wait on it
    Hotkeys hotkeys_;               // the shortcuts of the user's choice, on the icon's window
    Handle ready_;
    Handle thread_;
};

}  // namespace mirelunde
