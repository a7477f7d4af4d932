// The notification-area icon: its hidden window, the shell's callbacks, and its menu.
#include "launcher/NotifyIcon.h"

#include "commands/Help.h"
#include "commands/Login.h"
#include "hook/Exports.h"
#include "launcher/ElevatedStart.h"
#include "launcher/Elevation.h"
#include "launcher/LauncherTexts.h"
#include "launcher/Output.h"
#include "launcher/StopWait.h"
#include "launcher/window/SettingsWindow.h"
#include "menu/MenuTexts.h"
#include "settings/Language.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <shellapi.h>

#include <cstring>

namespace mirelunde {

namespace {

constexpr DWORD kReadyWaitMs = 10000;
constexpr DWORD kEndWaitMs = 2000;
constexpr char kTaskbarCreated[] = "TaskbarCreated";
// At log-on the shell may take its time to come up: the icon is offered again until it is taken.
constexpr UINT_PTR kAddAgainTimer = 1;
constexpr UINT kAddAgainMs = 2000;
// How long the end of the session waits for the put-back; the system gives a program about 5 s.
constexpr DWORD kSessionEndWaitMs = 20000;

enum MenuCommand : UINT { kHelp = 1, kLogin, kStop, kSettings };
// A left click shows the menu once the double-click time has passed without a second click.
constexpr UINT_PTR kMenuAfterClickTimer = 24;

NOTIFYICONDATAW IconData(HWND window)
{
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = kNotifyIconId;
    return data;
}

}  // namespace

Menu IconMenu()
{
    ChooseTextLanguageAgain();
    Menu menu(CreatePopupMenu());
    if (!menu) return menu;
    AppendMenuW(menu.get(), MF_STRING, kSettings, Wide(Text(texts::kSettings)).c_str());
    SetMenuDefaultItem(menu.get(), kSettings, FALSE);
    AppendMenuW(menu.get(), MF_STRING, kHelp, Wide(Text(texts::kAbout)).c_str());
    // While the logon task starts Mirelunde, the login entry is set aside: the item says it starts, and
    // only "--elevated off" (or the settings window) brings the entry back.
    const bool task = ElevatedStartOffered() && ElevatedStartOn();
    AppendMenuW(menu.get(), MF_STRING | (task || IsRunAtLogin() ? MF_CHECKED : MF_UNCHECKED) | (task ? MF_GRAYED : 0),
                kLogin, Wide(Text(texts::kRunAtLogin)).c_str());
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, kStop, Wide(Text(texts::kStopMirelunde)).c_str());
    return menu;
}

void NotifyIcon::Show(const std::string& startOptions)
{
    startOptions_ = startOptions;
    ready_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (ready_) thread_.reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
    if (!thread_ || WaitForSingleObject(ready_.get(), kReadyWaitMs) != WAIT_OBJECT_0) {
        const DWORD error = GetLastError();
        Warn(WithError(Text(texts::kNoIcon), error));
    } else if (addError_ != 0) {
        Warn(Message(texts::kIconRefusedFormat, addError_));
    }
}

void NotifyIcon::Remove()
{
    if (removed_.exchange(true) || !window_) return;
    // The icon's thread takes the icon away as it closes its window, and a menu or box open on it
    // goes with the window it belongs to. A thread waiting for the end of the session waits for
    // this stop: it ends once the stop is over.
    PostMessageA(window_, WM_CLOSE, 0, 0);
    if (thread_ && !sessionEnding_) WaitForSingleObject(thread_.get(), kEndWaitMs);
}

DWORD WINAPI NotifyIcon::Run(void* self) noexcept
{
    auto* icon = static_cast<NotifyIcon*>(self);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kNotifyWindowClass;
    icon->taskbarCreated_ = RegisterWindowMessageA(kTaskbarCreated);
    icon->settingsRequest_ = RegisterWindowMessageA(names::kSettingsRequest);
    icon->icon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(kIconGroup), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    // Never shown: it only receives the shell's callbacks and owns the menu.
    const HWND window = RegisterClassA(&windowClass) ? CreateWindowExA(0, kNotifyWindowClass, names::kCaption, WS_POPUP,
                                                                       0, 0, 0, 0, nullptr, nullptr, instance, icon)
                                                     : nullptr;
    if (!window) return 1;
    icon->window_ = window;
    // Run as administrator, the launcher takes no message from programs below it but the taskbar's
    // news that it has started again: the user's own programs ask for the settings window through the
    // event, which admits no other user and no sandboxed program. Otherwise programs of every
    // integrity level may post the request.
    if (RunsElevated())
        ChangeWindowMessageFilterEx(window, icon->taskbarCreated_, MSGFLT_ALLOW, nullptr);
    else
        ChangeWindowMessageFilterEx(window, icon->settingsRequest_, MSGFLT_ALLOW, nullptr);
    icon->ListenForRequests();
    icon->hotkeys_.Register(window);
    if (!icon->Add()) {
        icon->addError_ = GetLastError() != 0 ? GetLastError() : ERROR_NOT_READY;
        SetTimer(window, kAddAgainTimer, kAddAgainMs, nullptr);
    }
    SetEvent(icon->ready_.get());

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (icon->requestWait_ != nullptr) UnregisterWaitEx(icon->requestWait_, INVALID_HANDLE_VALUE);
    icon->requestWait_ = nullptr;
    icon->requestEvent_.reset();
    return 0;
}

void NotifyIcon::ListenForRequests()
{
    UserObjectSecurity security(EVENT_MODIFY_STATE | SYNCHRONIZE);
    requestEvent_.reset(CreateEventA(security.get(), FALSE, FALSE, names::kSettingsRequestEvent));
    // A name another program took first is not this launcher's to listen to.
    if (requestEvent_ && GetLastError() == ERROR_ALREADY_EXISTS) requestEvent_.reset();
    if (!requestEvent_ || !RegisterWaitForSingleObject(&requestWait_, requestEvent_.get(), OnRequest, this, INFINITE,
                                                       WT_EXECUTEDEFAULT)) {
        requestWait_ = nullptr;
        Warn("cannot take requests for the settings window from programs (error " + std::to_string(GetLastError()) +
             ")");
    }
}

// On a thread of the pool: the request goes on to the icon's thread as the message from inside.
void CALLBACK NotifyIcon::OnRequest(void* self, BOOLEAN) noexcept
{
    const auto* icon = static_cast<const NotifyIcon*>(self);
    PostMessageA(icon->window_, icon->settingsRequest_, 0, 0);
}

bool NotifyIcon::Add()
{
    if (removed_) return false;
    NOTIFYICONDATAW data = IconData(window_);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data.uCallbackMessage = kNotifyIconMessage;
    data.hIcon = icon_;
    lstrcpynW(data.szTip, Wide(texts::kIconTip).c_str(), ARRAYSIZE(data.szTip));
    SetLastError(0);
    if (!Shell_NotifyIconW(NIM_ADD, &data)) {
        const DWORD error = GetLastError();
        // An add that timed out may have been taken all the same: then the icon can be changed.
        if (!Shell_NotifyIconW(NIM_MODIFY, &data)) {
            SetLastError(error);
            return false;
        }
    }
    added_ = true;
    // Version 4 reports a click as the menu key or a selection, with the icon's place on screen;
    // a shell without it reports the mouse buttons.
    data.uVersion = NOTIFYICON_VERSION_4;
    version4_ = Shell_NotifyIconW(NIM_SETVERSION, &data) != FALSE;
    return true;
}

LRESULT CALLBACK NotifyIcon::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    auto* icon = reinterpret_cast<NotifyIcon*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (icon != nullptr) {
        try {
            if (message == WM_HOTKEY) {
                icon->hotkeys_.OnHotkey(wParam);
                return 0;
            }
            if (message == WM_DESTROY) icon->hotkeys_.Unregister();
            if (message == kNotifyIconMessage) {
                icon->OnIconEvent(wParam, lParam);
                return 0;
            }
            // Not taken yet, or Explorer started again: its new taskbar knows no icons.
            if ((message == icon->taskbarCreated_ && icon->taskbarCreated_ != 0) ||
                (message == WM_TIMER && wParam == kAddAgainTimer)) {
                if (icon->Add())
                    KillTimer(window, kAddAgainTimer);
                else
                    SetTimer(window, kAddAgainTimer, kAddAgainMs, nullptr);
                return 0;
            }
            if (message == icon->settingsRequest_ && icon->settingsRequest_ != 0) {
                icon->OpenSettings();
                return 0;
            }
            if (message == WM_TIMER && wParam == kMenuAfterClickTimer) {
                KillTimer(window, kMenuAfterClickTimer);
                icon->ShowMenu(icon->clickedAt_);
                return 0;
            }
            if (message == WM_CLOSE || message == WM_ENDSESSION) return icon->OnClose(message, wParam != 0);
        } catch (...) {
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Closed from outside (a task manager's End task, taskkill) or at the end of the session, the
// launcher stops as -k stops it. After the end of the session has been answered the system may end
// this process at any time, so the answer waits until every window is back.
LRESULT NotifyIcon::OnClose(UINT message, bool sessionEnds)
{
    if (message == WM_ENDSESSION) {
        if (sessionEnds) {
            sessionEnding_ = true;
            RequestStop();
            WaitUntilStopped(kSessionEndWaitMs);
        }
        return 0;
    }
    if (!removed_) {
        RequestStop();
        return 0;
    }
    if (added_) {
        NOTIFYICONDATAW data = IconData(window_);
        Shell_NotifyIconW(NIM_DELETE, &data);
    }
    DestroyWindow(window_);
    return 0;
}

void NotifyIcon::OnIconEvent(WPARAM wParam, LPARAM lParam)
{
    const UINT event = version4_ ? LOWORD(lParam) : static_cast<UINT>(lParam);
    POINT at{static_cast<short>(LOWORD(wParam)), static_cast<short>(HIWORD(wParam))};
    if (!version4_) GetCursorPos(&at);
    if (event == WM_LBUTTONDBLCLK) {
        KillTimer(window_, kMenuAfterClickTimer);
        doubleClickedAt_ = GetTickCount64();
        OpenSettings();
    } else if (event == (version4_ ? NIN_SELECT : WM_LBUTTONUP)) {
        // The release that ends a double-click is reported as a click too.
        if (GetTickCount64() - doubleClickedAt_ < GetDoubleClickTime()) return;
        clickedAt_ = at;
        SetTimer(window_, kMenuAfterClickTimer, GetDoubleClickTime(), nullptr);
    } else if (version4_ ? event == WM_CONTEXTMENU || event == NIN_KEYSELECT : event == WM_RBUTTONUP) {
        ShowMenu(at);
    }
}

void NotifyIcon::OpenSettings()
{
    ShowSettingsWindow(window_, startOptions_);
}

void NotifyIcon::ShowMenu(POINT at)
{
    const Menu menu = IconMenu();
    if (!menu) return;
    // The menu closes on a click elsewhere only when its window is in the foreground.
    SetForegroundWindow(window_);
    const UINT choice = static_cast<UINT>(TrackPopupMenuEx(
        menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, at.x, at.y, window_, nullptr));
    PostMessageA(window_, WM_NULL, 0, 0);
    switch (choice) {
    case kSettings: OpenSettings(); return;
    case kHelp:
        // Owned by the icon's window, so no other program's window is disabled while it shows.
        MessageBoxText(window_, UsageText(nullptr).c_str(), names::kCaption, MB_OK);
        return;
    case kLogin: RunAtLogin(!IsRunAtLogin(), startOptions_.c_str()); return;
    // As -k does: both launchers watch "HHook" and stop on 0, this one included.
    case kStop: WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, 0); return;
    default: return;
    }
}

}  // namespace mirelunde
