// The message hook on real windows: which messages reach the application, what the gestures do,
// and the middle-button timers running on real WM_TIMERs.
#include "actions/Maximize.h"
#include "actions/WindowSearch.h"
#include "actions/WindowTable.h"
#include "hook/Exports.h"
#include "hook/GestureState.h"
#include "settings/Handles.h"
#include "settings/ProcessSettings.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/Input.h"
#include "tests/support/MenuReader.h"
#include "tests/support/ProcessState.h"
#include "tests/support/TestWindows.h"
#include "tests/support/WindowTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace {

constexpr char kKey[] = "Software\\Pellamor\\Mirelunde";
constexpr UINT kMarker = WM_APP + 99;
constexpr POINT kAwayFromCorner{600, 400};
constexpr LPARAM kAltContext = 1 << 29;

// What the hook passed on to the next hook in the chain.
std::vector<UINT> passedOn;

LRESULT CALLBACK NextHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE) passedOn.push_back(reinterpret_cast<MSG*>(lParam)->message);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void SetSetting(const char* name, DWORD value)
{
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, name, value));
}

class Gestures : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        passedOn.clear();
        SetCursorPos(kAwayFromCorner.x, kAwayFromCorner.y);
        const DWORD thread = GetCurrentThreadId();
        next_.reset(SetWindowsHookExA(WH_GETMESSAGE, NextHook, nullptr, thread));
        getMessage_.reset(SetWindowsHookExA(WH_GETMESSAGE, BrackwenGetMsgProc, nullptr, thread));
        callWnd_.reset(SetWindowsHookExA(WH_CALLWNDPROC, BrackwenCallWndProc, nullptr, thread));
        ASSERT_TRUE(next_ && getMessage_ && callWnd_);
    }

    void TearDown() override
    {
        getMessage_.reset();
        callWnd_.reset();
        next_.reset();
        WindowTest::TearDown();
        gestureState.middleTimer.Stop();
        gestureState.quietTimer.Stop();
    }

    HWND Frame() { return Keep(MakeWindow(WS_OVERLAPPEDWINDOW)); }

    // Posts a message and pumps until the window has handled it.
    static void Deliver(HWND window, UINT message, WPARAM wParam = HTCAPTION, LPARAM lParam = 0)
    {
        PostMessageA(window, message, wParam, lParam);
        PostMessageA(window, kMarker, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return WasReceived(window, kMarker); }, 2000));
        ReceivedBy(window).erase(std::remove_if(ReceivedBy(window).begin(), ReceivedBy(window).end(),
                                                [](const Received& r) { return r.message == kMarker; }),
                                 ReceivedBy(window).end());
    }

    static bool PassedOn(UINT message) { return std::count(passedOn.begin(), passedOn.end(), message) > 0; }

    static void WaitForMiddleTimer()
    {
        ASSERT_TRUE(PumpUntil([] { return !gestureState.middleTimer.Running(); }, GetDoubleClickTime() + 3000));
    }

    // Lets the X server's notifications of the restacking arrive before the test goes on.
    static void BringToTop(HWND window)
    {
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        PumpFor(100);
    }

    Hook next_, getMessage_, callWnd_;
};

// Calls the hook directly, as the system does for a message taken from the queue.
MSG CallHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam = 0, POINT pt = kAwayFromCorner,
             WPARAM removal = PM_REMOVE)
{
    MSG msg{window, message, wParam, lParam, 0, pt};
    BrackwenGetMsgProc(HC_ACTION, removal, reinterpret_cast<LPARAM>(&msg));
    return msg;
}

// A key message as the system gives it: the thread's key state goes with it, and the left and
// right Alt arrive as VK_MENU, the right one marked extended, the left Ctrl as VK_CONTROL.
struct KeyStep {
    UINT message;
    WORD key;
    bool swallowed = false;
};

bool Type(HWND window, const KeyStep& step)
{
    const bool up = step.message == WM_KEYUP || step.message == WM_SYSKEYUP;
    const bool alt = step.key == VK_LMENU || step.key == VK_RMENU;
    const WORD generic = alt ? VK_MENU : step.key == VK_LCONTROL ? VK_CONTROL : step.key;
    SetKeyState(step.key, !up);
    SetKeyState(generic, !up);
    LPARAM data = up ? static_cast<LPARAM>(0xC0000000) : 0;
    if (step.key == VK_RMENU) data |= KF_EXTENDED << 16;
    if (step.message == WM_SYSKEYDOWN && GetKeyState(VK_MENU) < 0) data |= kAltContext;
    return CallHook(window, step.message, generic, data).message == WM_NULL;
}

// Alt held over one key; whether the key's release or Alt's was the library's.
bool AltKeypad(HWND window, WORD key)
{
    Type(window, {WM_SYSKEYDOWN, VK_LMENU});
    Type(window, {WM_SYSKEYDOWN, key});
    return Type(window, {WM_SYSKEYUP, key}) | Type(window, {WM_KEYUP, VK_LMENU});
}

TEST_F(Gestures, CaptionDoubleClickShadesAndNeverReachesTheApplication)
{
    const HWND window = Frame();
    const int height = Height(window);
    Deliver(window, WM_NCLBUTTONDBLCLK);
    EXPECT_EQ(Height(window), ShadedHeight());
    EXPECT_FALSE(WasReceived(window, WM_NCLBUTTONDBLCLK));
    EXPECT_FALSE(PassedOn(WM_NCLBUTTONDBLCLK)) << "later hooks do not see it either";

    Deliver(window, WM_NCLBUTTONDBLCLK);
    EXPECT_EQ(Height(window), height);
    EXPECT_FALSE(WasReceived(window, WM_NCLBUTTONDBLCLK));
}

TEST_F(Gestures, MessagesOutsideTheGesturesPassUntouched)
{
    const HWND frame = Frame();
    const HWND noSystemMenu = Keep(MakeWindow(WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME));
    struct Case {
        const char* label;
        HWND window;
        WPARAM removal;
        bool active;
    } const cases[] = {
        {"peeked without removing", frame, PM_NOREMOVE, true},
        {"thread message", nullptr, PM_REMOVE, true},
        {"inactive process", frame, PM_REMOVE, false},
        {"window without System Menu", noSystemMenu, PM_REMOVE, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        processSettings.hooksActive = c.active;
        const MSG msg = CallHook(c.window, WM_NCLBUTTONDBLCLK, HTCAPTION, 0, kAwayFromCorner, c.removal);
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_NCLBUTTONDBLCLK));
        if (c.window) {
            EXPECT_FALSE(windowTable.IsShaded(c.window));
        }
    }
    const MSG timer = CallHook(frame, WM_TIMER, 1);
    EXPECT_EQ(timer.message, static_cast<UINT>(WM_TIMER)) << "a timer of the application's own";
}

TEST_F(Gestures, DoubleClickInTheCornerSquareIsSwallowedWithoutShading)
{
    const HWND window = Frame();
    const int corner = CornerSize();
    const POINT inside[] = {{5, 5}, {-50, corner}, {corner, corner}};
    for (const POINT& pt : inside) {
        const MSG msg = CallHook(window, WM_NCLBUTTONDBLCLK, HTSYSMENU, 0, pt);
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_NULL));
        EXPECT_FALSE(windowTable.IsShaded(window)) << pt.x << "," << pt.y;
    }
    CallHook(window, WM_NCLBUTTONDBLCLK, HTCAPTION, 0, {corner + 1, 5});
    EXPECT_TRUE(windowTable.IsShaded(window));
}

TEST_F(Gestures, InvertedLeftDoubleClickPassesAndMiddleDoubleClickShades)
{
    SetSetting(names::kInvertDoubleClicks, 1);
    const HWND window = Frame();
    Deliver(window, WM_NCLBUTTONDBLCLK);
    EXPECT_TRUE(WasReceived(window, WM_NCLBUTTONDBLCLK));
    EXPECT_FALSE(windowTable.IsShaded(window));

    for (UINT message : {WM_NCMBUTTONDOWN, WM_NCMBUTTONUP, WM_NCMBUTTONDBLCLK, WM_NCMBUTTONUP})
        Deliver(window, message);
    EXPECT_TRUE(windowTable.IsShaded(window));
    EXPECT_FALSE(WasReceived(window, WM_NCMBUTTONDBLCLK));
    EXPECT_TRUE(gestureState.quietTimer.RunsOn(window));
    ASSERT_TRUE(PumpUntil([] { return !gestureState.quietTimer.Running(); }, GetDoubleClickTime() + 3000));
    EXPECT_FALSE(WasReceived(window, WM_TIMER)) << "the quiet timer is the hook's own";
}

TEST_F(Gestures, MiddleDoubleClickArrivesAsTheWindowsLeftDoubleClick)
{
    const HWND window = Frame();
    for (UINT message : {WM_NCMBUTTONDOWN, WM_NCMBUTTONUP, WM_NCMBUTTONDBLCLK}) Deliver(window, message);
    EXPECT_TRUE(WasReceived(window, WM_NCLBUTTONDBLCLK));
    EXPECT_FALSE(WasReceived(window, WM_NCMBUTTONDBLCLK));
    EXPECT_FALSE(windowTable.IsShaded(window));
    EXPECT_FALSE(gestureState.middleTimer.Running());
}

class MiddleClickSinking : public Gestures {
protected:
    void SetUp() override
    {
        Gestures::SetUp();
        SetSetting(names::kSinkOnMiddle, 1);
        below_ = Frame();
        top_ = Frame();
        BringToTop(top_);
        ASSERT_EQ(FindTopNormalWindow(nullptr), top_);
    }
    bool TopSunk() const { return FindTopNormalWindow(nullptr) != top_; }

    HWND below_ = nullptr;
    HWND top_ = nullptr;
};

TEST_F(MiddleClickSinking, SingleClickActsOnlyWhenTheDoubleClickTimeHasRunOut)
{
    Deliver(top_, WM_NCMBUTTONDOWN);
    EXPECT_EQ(windowTable.rememberedWindow, below_);
    Deliver(top_, WM_NCMBUTTONUP);
    EXPECT_FALSE(TopSunk()) << "nothing before the timer";
    WaitForMiddleTimer();
    EXPECT_TRUE(TopSunk());
    EXPECT_EQ(GetForegroundWindow(), below_);
    EXPECT_FALSE(WasReceived(top_, WM_TIMER));
}

TEST_F(MiddleClickSinking, PressOnAnotherWindowTakesTheTimerOver)
{
    Deliver(below_, WM_NCMBUTTONDOWN);
    Deliver(top_, WM_NCMBUTTONDOWN);
    Deliver(top_, WM_NCMBUTTONUP);
    WaitForMiddleTimer();
    EXPECT_TRUE(TopSunk()) << "the click is the second window's";
    PumpFor(2 * GetDoubleClickTime());
    EXPECT_FALSE(WasReceived(below_, WM_TIMER));
    EXPECT_FALSE(WasReceived(top_, WM_TIMER)) << "a timer of the hook's own left running";
}

TEST_F(MiddleClickSinking, PressHeldPastTheDoubleClickTimeActsOnRelease)
{
    Deliver(top_, WM_NCMBUTTONDOWN);
    WaitForMiddleTimer();
    EXPECT_FALSE(TopSunk());
    Deliver(top_, WM_NCMBUTTONUP);
    EXPECT_TRUE(TopSunk());
}

TEST_F(MiddleClickSinking, PressReleasedOutsideTheNonClientAreaDoesNothing)
{
    Deliver(top_, WM_NCMBUTTONDOWN);
    WaitForMiddleTimer();
    PumpFor(100);
    EXPECT_FALSE(TopSunk());
}

TEST_F(MiddleClickSinking, TwoButtonRightPressSinksAtOnceAndStillReachesTheApplication)
{
    processSettings.twoButtonMouse = true;
    Deliver(top_, WM_NCRBUTTONDOWN);
    EXPECT_TRUE(TopSunk());
    EXPECT_TRUE(WasReceived(top_, WM_NCRBUTTONDOWN));
    EXPECT_FALSE(windowTable.IsShaded(top_));

    BringToTop(top_);
    Deliver(top_, WM_NCMBUTTONDOWN);
    Deliver(top_, WM_NCMBUTTONUP);
    WaitForMiddleTimer();
    EXPECT_FALSE(TopSunk()) << "in two-button mode the middle click does nothing";
}

TEST_F(Gestures, CommandMenuOpensFromTheTwoButtonRightPressAndFromAltKeypadPlus)
{
    processSettings.twoButtonMouse = true;
    const HWND window = Frame();
    {
        MenuAnswerer answerer(GetCurrentProcessId(), {});
        Deliver(window, WM_NCRBUTTONDOWN);
        EXPECT_TRUE(answerer.Result()) << "no menu on the right press";
        EXPECT_FALSE(WasReceived(window, WM_NCRBUTTONDOWN))
            << "the menu took the release: passed on, the press would hold the mouse until the next one";
    }
    {
        MenuAnswerer answerer(GetCurrentProcessId(), {"Shade window"});
        EXPECT_TRUE(AltKeypad(window, VK_ADD));
        EXPECT_TRUE(answerer.Result()) << "no menu on Alt+keypad +";
        EXPECT_TRUE(windowTable.IsShaded(window));
    }
    {
        const HWND edit = Keep(MakeControl("EDIT", window));
        const RECT editBefore = WindowRect(edit);
        MenuAnswerer answerer(GetCurrentProcessId(), {"On Top", "Always"});
        AltKeypad(edit, VK_ADD);
        EXPECT_TRUE(answerer.Result());
        EXPECT_TRUE(IsTopmost(window)) << "typed in a control, the menu is for the window around it";
        const RECT editAfter = WindowRect(edit);
        EXPECT_TRUE(EqualRect(&editBefore, &editAfter));
    }
    // Where the user types characters with Alt, keypad + and hex digits, keypad + waits for Alt, and
    // acts only alone: a digit after it, even a keypad one, is the code's.
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, names::kInputMethodKey, names::kEnableHexNumpad, "1"));
    const HWND typedIn = Frame();
    const KeyStep altDown{WM_SYSKEYDOWN, VK_LMENU}, plus{WM_SYSKEYDOWN, VK_ADD}, plusUp{WM_SYSKEYUP, VK_ADD};
    const std::pair<std::vector<KeyStep>, bool> hexCases[] = {
        {{altDown, plus, plusUp, {WM_KEYUP, VK_LMENU, true}}, true},
        {{altDown, plus, plusUp, {WM_SYSKEYDOWN, 'E'}, {WM_SYSKEYDOWN, '9'}, {WM_KEYUP, VK_LMENU}}, false},
        {{altDown, plus, plusUp, {WM_SYSKEYDOWN, VK_NUMPAD5}, {WM_KEYUP, VK_LMENU}}, false},
    };
    for (const auto& [steps, opens] : hexCases) {
        MenuAnswerer answerer(GetCurrentProcessId(), {}, opens ? 10000 : 1000);
        for (const KeyStep& step : steps) EXPECT_EQ(Type(typedIn, step), step.swallowed) << step.key;
        EXPECT_EQ(answerer.Result().has_value(), opens) << steps.size() << " steps";
        EXPECT_FALSE(windowTable.IsShaded(typedIn));
    }
}

TEST_F(Gestures, RightPressShadesUnlessTurnedOff)
{
    const HWND window = Frame();
    Deliver(window, WM_NCRBUTTONDOWN);
    Deliver(window, WM_NCRBUTTONUP);
    EXPECT_TRUE(windowTable.IsShaded(window));
    EXPECT_FALSE(WasReceived(window, WM_NCRBUTTONDOWN));
    EXPECT_TRUE(WasReceived(window, WM_NCRBUTTONUP)) << "the release is the application's";

    SetSetting(names::kRightClickShades, 0);
    Deliver(window, WM_NCRBUTTONDOWN);
    EXPECT_TRUE(windowTable.IsShaded(window));
    EXPECT_TRUE(WasReceived(window, WM_NCRBUTTONDOWN));
}

TEST_F(Gestures, ModifierFlagsFollowTheKeys)
{
    const HWND window = Frame();
    CallHook(window, WM_KEYDOWN, VK_SHIFT);
    CallHook(window, WM_KEYDOWN, VK_CONTROL);
    EXPECT_TRUE(windowTable.shiftHeld && windowTable.controlHeld);
    CallHook(window, WM_SYSKEYDOWN, VK_F4, 0);
    EXPECT_FALSE(windowTable.altHeld) << "no Alt context bit";
    CallHook(window, WM_SYSKEYDOWN, VK_MENU, kAltContext);
    EXPECT_TRUE(windowTable.altHeld);
    EXPECT_FALSE(windowTable.shiftHeld || windowTable.controlHeld);
    CallHook(window, WM_KEYDOWN, VK_SHIFT);
    CallHook(window, WM_KILLFOCUS, 0);
    EXPECT_FALSE(windowTable.shiftHeld || windowTable.controlHeld || windowTable.altHeld);

    // Losing the focus is sent, never posted: the releases of keys held then go to another program.
    struct Sent {
        UINT message;
        WPARAM wParam;
        bool released;
    } const sent[] = {{WM_KILLFOCUS, 0, true}, {WM_ACTIVATE, WA_INACTIVE, true}, {WM_ACTIVATE, WA_ACTIVE, false}};
    for (const Sent& s : sent) {
        SCOPED_TRACE(s.message == WM_KILLFOCUS ? "focus lost" : s.wParam == WA_INACTIVE ? "deactivated" : "activated");
        windowTable.shiftHeld = windowTable.controlHeld = windowTable.altHeld = true;
        SendMessageA(window, s.message, s.wParam, 0);
        EXPECT_EQ(!windowTable.shiftHeld && !windowTable.controlHeld && !windowTable.altHeld, s.released);
    }
}

TEST_F(Gestures, KeyReleasesPassUnlessTheyRanAShortcut)
{
    const HWND window = Frame();
    constexpr UINT D = WM_KEYDOWN, U = WM_KEYUP, SD = WM_SYSKEYDOWN, SU = WM_SYSKEYUP;
    struct Case {
        const char* label;
        std::vector<KeyStep> steps;
        bool acts;  // keypad 0 shades the window, Scroll Lock makes it topmost
    } const cases[] = {
        {"Alt+F4", {{SD, VK_LMENU}, {SD, VK_F4}, {SU, VK_F4}, {U, VK_LMENU}}, false},
        {"F10", {{SD, VK_F10}, {SU, VK_F10}}, false},
        {"letter with Alt", {{SD, VK_LMENU}, {SD, 'A'}, {SU, 'A'}, {U, VK_LMENU}}, false},
        {"Alt code 05: two digits, neither acts",
         {{SD, VK_LMENU}, {SD, VK_NUMPAD0}, {SU, VK_NUMPAD0}, {SD, VK_NUMPAD5}, {SU, VK_NUMPAD5}, {U, VK_LMENU}},
         false},
        {"lone keypad digit acts as Alt is let go",
         {{SD, VK_LMENU}, {SD, VK_NUMPAD0}, {SU, VK_NUMPAD0}, {U, VK_LMENU, true}},
         true},
        {"lone keypad digit with Ctrl and the left Alt",
         {{D, VK_LCONTROL}, {D, VK_LMENU}, {D, VK_NUMPAD0}, {U, VK_NUMPAD0}, {U, VK_LMENU, true}, {U, VK_LCONTROL}},
         true},
        {"AltGr character",
         {{D, VK_LCONTROL}, {D, VK_RMENU}, {D, 'Q'}, {U, 'Q'}, {U, VK_RMENU}, {U, VK_LCONTROL}},
         false},
        {"AltGr with a keypad digit",
         {{D, VK_LCONTROL}, {D, VK_RMENU}, {D, VK_NUMPAD0}, {U, VK_NUMPAD0}, {U, VK_RMENU}, {U, VK_LCONTROL}},
         false},
        {"Scroll Lock acts at once",
         {{SD, VK_LMENU}, {SD, VK_SCROLL}, {SU, VK_SCROLL, true}, {U, VK_LMENU, true}},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (const KeyStep& step : c.steps)
            EXPECT_EQ(Type(window, step), step.swallowed)
                << "message 0x" << std::hex << step.message << " key 0x" << step.key;
        EXPECT_EQ(windowTable.IsShaded(window) || IsTopmost(window), c.acts);
        if (windowTable.IsShaded(window)) windowTable.ToggleShade(window);
        SetTopmost(window, false);
    }
}

TEST_F(Gestures, KeypadShortcutsActOnTheFocusWindowsFrame)
{
    const HWND owner = Frame();
    const HWND dialog = Keep(MakeWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, owner, {250, 200, 450, 400}));
    const HWND edit = Keep(MakeControl("EDIT", dialog));

    AltKeypad(edit, VK_NUMPAD0);
    EXPECT_TRUE(windowTable.IsShaded(dialog)) << "0 shades the nearest System Menu window";
    AltKeypad(edit, VK_NUMPAD0);
    EXPECT_FALSE(windowTable.IsShaded(dialog));

    AltKeypad(edit, VK_NUMPAD5);
    EXPECT_TRUE(windowTable.IsShaded(owner)) << "5 shades the outermost window";
    EXPECT_FALSE(windowTable.IsShaded(dialog));

    const HWND plain = Frame();
    AltKeypad(plain, VK_SCROLL);
    EXPECT_TRUE(IsTopmost(plain));
    AltKeypad(plain, VK_SCROLL);
    EXPECT_FALSE(IsTopmost(plain));

    SetSetting(names::kEnableKeyboard, 0);
    EXPECT_FALSE(AltKeypad(edit, VK_NUMPAD0)) << "Alt's release is the program's when the keyboard is off";
    EXPECT_FALSE(windowTable.IsShaded(dialog));
}

TEST_F(Gestures, KeypadMultiplyRaisesOrSinks)
{
    const HWND below = Frame();
    const HWND top = Frame();
    BringToTop(top);
    ASSERT_EQ(FindTopNormalWindow(nullptr), top);
    const HWND button = Keep(MakeControl("BUTTON", top));
    AltKeypad(button, VK_MULTIPLY);
    EXPECT_EQ(FindTopNormalWindow(nullptr), below);
}

TEST_F(Gestures, CloseOfAShadedWindowArrivesAtFullHeight)
{
    const HWND shaded = Frame();
    const HWND plain = Frame();
    const int height = Height(shaded);
    windowTable.ToggleShade(shaded);
    ASSERT_EQ(Height(shaded), ShadedHeight());

    for (HWND window : {shaded, plain}) {
        SendMessageA(window, WM_CLOSE, 0, 0);
        const auto& received = ReceivedBy(window);
        const auto close =
            std::find_if(received.begin(), received.end(), [](const Received& r) { return r.message == WM_CLOSE; });
        ASSERT_NE(close, received.end());
        EXPECT_EQ(close->rect.bottom - close->rect.top, height);
    }
    EXPECT_FALSE(windowTable.IsShaded(shaded));
}

// In a program kept on top a window with a caption of its own is topmost from its first showing, as
// "On Top > Always" makes it; owned windows follow their owner, and the user's "Always" off holds.
TEST_F(Gestures, ProgramKeptOnTopHasItsCaptionedWindowsTopmostAsTheyAreFirstShown)
{
    processSettings.keepOnTop = true;
    const HWND owner = Keep(MakeWindow(WS_POPUP));
    const struct {
        const char* label;
        HWND window;
        bool topmost;
    } cases[] = {
        {"frame", Frame(), true},
        {"frame created visible and maximized", Keep(MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_MAXIMIZE)), true},
        {"frame shown maximized, with no WM_SHOWWINDOW", Keep(MakeWindow(WS_OVERLAPPEDWINDOW | WS_MAXIMIZE)), true},
        {"pop-up with a caption", Keep(MakeWindow(WS_POPUP | WS_CAPTION)), true},
        {"tool window", Keep(MakeWindow(WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW)), false},
        {"pop-up without a caption", owner, false},
        {"owned window", Keep(MakeWindow(WS_OVERLAPPEDWINDOW, 0, owner)), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(IsTopmost(c.window), c.topmost);
        EXPECT_EQ(windowTable.AlwaysOnTop(c.window, false), c.topmost) << "the menu's mark";
    }
    const HWND frame = cases[0].window;
    windowTable.AlwaysOnTop(frame, true);
    ShowWindow(frame, SW_HIDE);
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    EXPECT_FALSE(IsTopmost(frame)) << "shown again";
}

TEST_F(Gestures, DestroyedWindowIsForgottenWithItsShadeAndStretch)
{
    const HWND window = MakeWindow(WS_OVERLAPPEDWINDOW);
    windowTable.ToggleShade(window);
    MaximizeVariant(window, Stretch::Vertically);
    const auto record = windowTable.RecordFor(window);
    ASSERT_TRUE(record->shaded);
    ASSERT_EQ(placementTable.entries.count(window), 1u);

    DestroyWindow(window);
    EXPECT_EQ(windowTable.records.count(window), 0u) << "a new window with this handle starts afresh";
    EXPECT_TRUE(record->shaded) << "the record stays whole for a thread that still holds it";
    EXPECT_EQ(placementTable.entries.count(window), 0u);
}

TEST_F(Gestures, MiddlePressOnAnMdiChildRemembersAnotherTopWindow)
{
    const HWND other = Frame();
    const HWND frame = Frame();
    BringToTop(frame);
    CLIENTCREATESTRUCT client{};
    const HWND mdiClient = Keep(CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 380, 250, frame,
                                                nullptr, GetModuleHandleA(nullptr), &client));
    const HWND child = Keep(CreateMDIWindowA("MirelundeRecordingFrame", "child", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                                             10, 200, 150, mdiClient, GetModuleHandleA(nullptr), 0));
    ASSERT_EQ(FindTopLevelAncestor(child), frame);
    Deliver(child, WM_NCMBUTTONDOWN);
    EXPECT_EQ(windowTable.rememberedWindow, other);
    EXPECT_TRUE(gestureState.middleTimer.RunsOn(child));
    Deliver(child, WM_NCMBUTTONUP);
    EXPECT_TRUE(gestureState.middleReleased);
}

}  // namespace
