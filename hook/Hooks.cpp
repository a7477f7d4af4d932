// The two hook procedures that the launcher installs for every GUI thread of the desktop: caption
// gestures, the middle-button state machine, the modifier keys and the keypad shortcuts.
#include "hook/Hooks.h"
#include "actions/Maximize.h"
#include "actions/WindowSearch.h"
#include "actions/WindowTable.h"
#include "hook/Exports.h"
#include "hook/GestureState.h"
#include "hook/PassingOn.h"
#include "hook/ShortcutRequest.h"
#include "hook/Shortcuts.h"
#include "menu/CommandMenu.h"
#include "settings/ProcessSettings.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"

#include <optional>

namespace mirelunde {

GestureState gestureState;

bool GestureTimer::Start(HWND window)
{
    const HWND previous = window_.exchange(window);
    if (previous != nullptr && previous != window) KillTimer(previous, id_);
    if (SetTimer(window, id_, GetDoubleClickTime(), nullptr) != 0) return true;
    HWND started = window;
    window_.compare_exchange_strong(started, nullptr);  // a failed start counts as not running
    return false;
}

void GestureTimer::Stop()
{
    if (const HWND window = window_.exchange(nullptr)) KillTimer(window, id_);
}

bool GestureTimer::Fired(const MSG& msg)
{
    HWND runsOn = msg.hwnd;
    if (msg.wParam != id_ || !window_.compare_exchange_strong(runsOn, nullptr)) return false;
    KillTimer(msg.hwnd, id_);
    return true;
}

namespace {

enum class Outcome { Pass, PassZero, Swallow };

constexpr LPARAM kAltContextBit = 1 << 29;

bool HasSystemMenu(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU) != 0;
}

bool InvertedDoubleClicks()
{
    return SettingOn(names::kInvertDoubleClicks, false);
}

// Gestures in the top-left corner square (the System Menu icon) do nothing.
void ShadeUnlessInCorner(const MSG& msg)
{
    const int corner = CornerSize();
    if (msg.pt.x <= corner && msg.pt.y <= corner) return;
    windowTable.ToggleShadeOfFrame(msg.hwnd);
}

// True when the command menu was shown.
bool MiddleClickAction(HWND window)
{
    if (!SettingOn(names::kSinkOnMiddle, false)) return ShowCommandMenu(window);
    windowTable.RaiseOrSink(window, windowTable.rememberedWindow);
    return false;
}

Outcome OnRightButtonDown(const MSG& msg)
{
    if (processSettings.twoButtonMouse) {
        // The menu's loop takes the button's release. The press passed on after it would have the
        // window's default handling capture the mouse and wait for that release, holding up the
        // program's keys and clicks until the next right click; after a sink it still gets its press.
        return MiddleClickAction(msg.hwnd) ? Outcome::Swallow : Outcome::PassZero;
    }
    if (!SettingOn(names::kRightClickShades, true)) return Outcome::Pass;
    ShadeUnlessInCorner(msg);
    return Outcome::Swallow;
}

Outcome OnMiddleButtonUp(const MSG& msg)
{
    if (gestureState.middleTimer.RunsOn(msg.hwnd)) {
        gestureState.middleReleased = true;  // the timer decides: click or double-click
        return Outcome::PassZero;
    }
    // A release that ends no press of this window's, or comes in the quiet period, does nothing.
    if (gestureState.middleTimer.Running() || gestureState.quietTimer.Running() || processSettings.twoButtonMouse)
        return Outcome::Pass;
    MiddleClickAction(msg.hwnd);  // a press held past the double-click time acts on release
    return Outcome::PassZero;
}

Outcome OnMiddleDoubleClick(MSG& msg)
{
    if (!gestureState.middleTimer.Running()) return Outcome::Pass;
    gestureState.middleTimer.Stop();
    Outcome outcome = Outcome::Pass;
    if (InvertedDoubleClicks()) {
        ShadeUnlessInCorner(msg);
        outcome = Outcome::Swallow;
    } else {
        msg.message = WM_NCLBUTTONDBLCLK;  // the window's own left double-click behaviour
    }
    gestureState.quietTimer.Start(msg.hwnd);
    return outcome;
}

Outcome OnTimer(const MSG& msg)
{
    if (gestureState.middleTimer.Fired(msg)) {
        if (gestureState.middleReleased && !processSettings.twoButtonMouse && HasSystemMenu(msg.hwnd))
            MiddleClickAction(msg.hwnd);
        return Outcome::Swallow;
    }
    return gestureState.quietTimer.Fired(msg) ? Outcome::Swallow : Outcome::Pass;
}

Outcome OnKeyDown(const MSG& msg)
{
    if (msg.wParam == VK_MENU) {
        NoteAltDown(msg.lParam);
    } else {
        NoteShortcutKeyDown(msg.wParam, msg.lParam);
    }
    return Outcome::Pass;
}

// A key release is the program's unless it ran a shortcut, so typing never loses a key: F10, the
// characters typed with Alt or AltGr, the digits of an Alt code.
Outcome OnKeyUp(const MSG& msg)
{
    switch (msg.wParam) {
    case VK_SHIFT: windowTable.shiftHeld = false; return Outcome::Pass;
    case VK_CONTROL: windowTable.controlHeld = false; return Outcome::Pass;
    case VK_MENU: windowTable.altHeld = false; return EndAltHold(msg.hwnd) ? Outcome::Swallow : Outcome::Pass;
    default: return RunShortcutOnRelease(msg.hwnd, msg.wParam) ? Outcome::Swallow : Outcome::Pass;
    }
}

void ForgetModifiers()
{
    windowTable.ReleaseModifiers();
    ForgetAltHold();
}

Outcome HandleMessage(MSG& msg)
{
    switch (msg.message) {
    case WM_KILLFOCUS: ForgetModifiers(); return Outcome::Pass;
    case WM_NCLBUTTONDBLCLK:
        if (!HasSystemMenu(msg.hwnd) || InvertedDoubleClicks()) return Outcome::Pass;
        ShadeUnlessInCorner(msg);
        return Outcome::Swallow;
    case WM_NCRBUTTONDOWN: return HasSystemMenu(msg.hwnd) ? OnRightButtonDown(msg) : Outcome::Pass;
    case WM_NCMBUTTONDOWN:
        if (!HasSystemMenu(msg.hwnd)) return Outcome::Pass;
        gestureState.middleReleased = false;
        windowTable.rememberedWindow = FindTopNormalWindow(FindTopLevelAncestor(msg.hwnd));
        gestureState.middleTimer.Start(msg.hwnd);
        return Outcome::Pass;
    case WM_NCMBUTTONUP: return HasSystemMenu(msg.hwnd) ? OnMiddleButtonUp(msg) : Outcome::Pass;
    case WM_NCMBUTTONDBLCLK: return HasSystemMenu(msg.hwnd) ? OnMiddleDoubleClick(msg) : Outcome::Pass;
    case WM_TIMER: return OnTimer(msg);
    case WM_KEYDOWN:
        if (msg.wParam == VK_SHIFT) windowTable.shiftHeld = true;
        if (msg.wParam == VK_CONTROL) windowTable.controlHeld = true;
        if (msg.wParam == VK_MENU) windowTable.altHeld = true;
        return OnKeyDown(msg);
    case WM_SYSKEYDOWN:
        if (msg.lParam & kAltContextBit) {
            windowTable.shiftHeld = windowTable.controlHeld = false;
            windowTable.altHeld = true;
        }
        return OnKeyDown(msg);
    case WM_KEYUP:
    case WM_SYSKEYUP: return OnKeyUp(msg);
    case WM_SYSCOMMAND:
        if (windowTable.systemMenuItemId == 0 || msg.wParam != windowTable.systemMenuItemId) return Outcome::Pass;
        ShowCommandMenu(msg.hwnd);
        return Outcome::PassZero;
    default: return Outcome::Pass;
    }
}

// Adds the System Menu item at the first message, once per process; while one thread tries, the
// others go on without waiting.
void AddSystemMenuItemOnce(HWND window)
{
    if (gestureState.systemMenuItemBusy.exchange(true)) return;
    if (!gestureState.systemMenuItemDone)
        gestureState.systemMenuItemDone = !(processSettings.addToSystemMenu && !processSettings.twoButtonMouse) ||
                                          windowTable.AddSystemMenuItem(window);
    gestureState.systemMenuItemBusy = false;
}

bool IsRestoreRequest(UINT message)
{
    UINT request = processSettings.restoreMessage;
    if (request == 0) processSettings.restoreMessage = request = RegisterWindowMessageA(names::kRestoreMessage);
    return message == request;
}

constexpr UINT kFirstRegisteredMessage = 0xC000;

// A window's position change is watched only in a program kept on top, where its first showing
// may come without WM_SHOWWINDOW (created visible and maximized, shown by SetWindowPos).
bool IsWatchedSentMessage(UINT message)
{
    return message == WM_CLOSE || message == WM_NCDESTROY || message == WM_KILLFOCUS || message == WM_ACTIVATE ||
           message == WM_SHOWWINDOW || (message == WM_WINDOWPOSCHANGED && processSettings.keepOnTop) ||
           (message >= kFirstRegisteredMessage && IsRestoreRequest(message));
}

bool IsShowing(const CWPSTRUCT& sent)
{
    if (sent.message == WM_SHOWWINDOW) return sent.wParam != FALSE;
    const auto* position = reinterpret_cast<const WINDOWPOS*>(sent.lParam);
    return position != nullptr && (position->flags & SWP_SHOWWINDOW) != 0;
}

// The launcher is stopping: this thread gives its windows back what the library changed, so the
// library leaves nothing behind even where it stays mapped, and nothing is left for a detach to do
// across threads.
void PutThreadWindowsBack()
{
    processSettings.stoppedHook = processSettings.getMessageHook.load();
    processSettings.arrivalDue = true;
    if (windowTable.RemoveOwnSystemMenuItem()) gestureState.systemMenuItemDone = false;  // a later start adds it again
    // Unshaded first, so a stretched window gets its whole earlier rectangle back.
    windowTable.RestoreThreadWindows();
    RestoreThreadPlacements();
}

// After a stop, the messages the stopping launcher's hooks still bring (before it unhooks, or from
// a hook Wine 8 keeps after its launcher ended) are only passed on, and must not take the settings:
// the next launcher may start with others. So "HHook" is looked at, at most once a second and by one
// thread, until it names another launcher's hook; then the library takes the new hooks as if it had
// just arrived. A key or a button on a caption is looked at at once: the first gesture after the
// next launcher's start is served with its settings.
constexpr DWORD kArrivalLookMs = 1000;

bool IsCaptionButton(UINT message)
{
    return message >= WM_NCLBUTTONDOWN && message <= WM_NCXBUTTONDBLCLK;
}

bool StartsAGesture(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || IsCaptionButton(message);
}

// What a second handling would change: a key going down or up, a caption button, a System Menu row.
bool HandledOnce(UINT message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP ||
           message == WM_SYSCOMMAND || IsCaptionButton(message);
}

void ArriveAgain(bool atOnce)
{
    const DWORD now = GetTickCount();
    if (!atOnce && gestureState.arrivalLooked != 0 && now - gestureState.arrivalLooked < kArrivalLookMs) return;
    if (gestureState.arrivalBusy.exchange(true)) return;
    try {
        gestureState.arrivalLooked = now == 0 ? 1 : now;
        if (NewHooksPublished() && processSettings.arrivalDue.exchange(false)) {
            gestureState.arrivalLooked = 0;
            ReadProcessSettingsAgain();
            // Added again where the settings now want it, unless it is still in place.
            gestureState.systemMenuItemDone = windowTable.systemMenuItemId != 0;
        }
    } catch (...) {
    }
    gestureState.arrivalBusy = false;
}

void OnSentMessage(const CWPSTRUCT& sent)
{
    if (sent.message == WM_KILLFOCUS || sent.message == WM_ACTIVATE) {
        if (sent.message == WM_KILLFOCUS || LOWORD(sent.wParam) == WA_INACTIVE) ForgetModifiers();
    } else if (sent.message == WM_NCDESTROY) {
        windowTable.Forget(sent.hwnd);
        ForgetPlacement(sent.hwnd);
    } else if (sent.message == WM_CLOSE) {
        if (windowTable.IsShaded(sent.hwnd)) windowTable.ToggleShade(sent.hwnd);
    } else if (sent.message == WM_SHOWWINDOW || sent.message == WM_WINDOWPOSCHANGED) {
        // Not after a stop: a window shown then is the program's own until the next launcher's hooks.
        if (processSettings.keepOnTop && !processSettings.arrivalDue && IsShowing(sent))
            windowTable.KeepOnTopAsShown(sent.hwnd);
    } else if (sent.wParam == names::kPutWindowsBack) {
        PutThreadWindowsBack();
    } else if (sent.wParam == names::kRunShortcut) {
        if (processSettings.hooksActive) RunShortcutRequest(sent.hwnd, sent.lParam);
    } else if (processSettings.hooksActive) {
        windowTable.KeepThreadWindowsOnTop(sent.wParam == names::kKeepWindowsOnTop);
    }
}

}  // namespace

}  // namespace mirelunde

using namespace mirelunde;

// Runs for every message every GUI thread takes from its queue: keep it cheap. Early exits first;
// the window's style is read only by the rows that need it, registry reads only inside gestures.
LRESULT mirelunde::GetMsgHook(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (processSettings.arrivalDue) [[unlikely]] {
        ArriveAgain(msg != nullptr && StartsAGesture(msg->message));
        // Stopped, and no launcher's hooks since: the program is its own again.
        if (processSettings.arrivalDue) return CallNextHookEx(processSettings.getMessageHook, code, wParam, lParam);
    }
    if (wParam != PM_REMOVE || !processSettings.hooksActive || msg == nullptr || msg->hwnd == nullptr)
        return CallNextHookEx(processSettings.getMessageHook, code, wParam, lParam);

    const bool once = HandledOnce(msg->message);
    if (once && PassingOn::ComesBack({WH_GETMESSAGE, msg->hwnd, msg->message, msg->wParam, msg->lParam}))
        return CallNextHookEx(processSettings.getMessageHook, code, wParam, lParam);

    Outcome outcome = Outcome::Pass;
    try {
        if (!gestureState.systemMenuItemDone) AddSystemMenuItemOnce(msg->hwnd);
        if (code >= 0) outcome = HandleMessage(*msg);
    } catch (...) {
        // Whatever went wrong, the host program gets its message.
    }

    if (outcome == Outcome::Swallow) {
        msg->message = WM_NULL;
        return 0;
    }
    // Passed on as handled, which it may now be (a middle double-click made a left one).
    std::optional<PassingOn> passing;
    if (once) passing.emplace(PassedMessage{WH_GETMESSAGE, msg->hwnd, msg->message, msg->wParam, msg->lParam});
    const LRESULT next = CallNextHookEx(processSettings.getMessageHook, code, wParam, lParam);
    return outcome == Outcome::PassZero ? 0 : next;
}

// Runs for every message sent to a window: keep it cheap. A shaded window is unshaded before its
// program handles WM_CLOSE, so it is closed (and its size remembered) at its full height; a
// destroyed window is forgotten, so a new window that gets its handle starts afresh; a window that
// loses the focus or is deactivated drops the modifier flags, whose key releases go elsewhere; in a
// program kept on top a window is made topmost as it is first shown; the launcher's request as it
// stops has this thread put its windows back, the command menu's has it keep them on top or no
// longer, and a shortcut of the user's choice, which the launcher's hotkey turns into that request,
// runs its command here. The put-back is answered even where the hooks are no longer active: the user has just had
// the library leave this program alone, and each thread puts back its own windows.
LRESULT mirelunde::CallWndHook(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    // The one registered message that gets past IsWatchedSentMessage is the put-back request.
    std::optional<PassingOn> passing;
    if (code >= 0 && sent != nullptr && IsWatchedSentMessage(sent->message) && sent->hwnd != nullptr &&
        (processSettings.hooksActive || sent->message >= kFirstRegisteredMessage)) {
        const PassedMessage passed{WH_CALLWNDPROC, sent->hwnd, sent->message, sent->wParam, sent->lParam};
        if (!PassingOn::ComesBack(passed)) {
            try {
                OnSentMessage(*sent);
            } catch (...) {
            }
            passing.emplace(passed);
        }
    }
    return CallNextHookEx(processSettings.callWndProcHook, code, wParam, lParam);
}
