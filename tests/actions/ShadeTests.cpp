// Shading and unshading real windows, the frame searches, and the restore at detach.
#include "actions/WindowTable.h"
#include "settings/Handles.h"
#include "settings/ProcessSettings.h"
#include "settings/Registry.h"
#include "tests/support/Input.h"
#include "tests/support/ModalBox.h"
#include "tests/support/Monitors.h"
#include "tests/support/ProcessState.h"
#include "tests/support/TestWindows.h"
#include "tests/support/WindowTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace {

constexpr DWORD kSizingBits = WS_THICKFRAME | WS_MAXIMIZEBOX;

DWORD Style(HWND window)
{
    return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
}

DWORD ExStyle(HWND window)
{
    return static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
}

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

// Whether the rectangle (a maximized window's, which overhangs by its frame) covers the work area.
bool Covers(const RECT& rect, const RECT& work)
{
    return rect.left <= work.left && rect.top <= work.top && rect.right >= work.right && rect.bottom >= work.bottom;
}

// The shaded height as a process that arrived at 96 DPI reads it.
int ShadedHeightAt96Dpi()
{
    using MetricForDpi = int(WINAPI*)(int, UINT);
    const auto metric = reinterpret_cast<MetricForDpi>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetSystemMetricsForDpi")));
    return metric ? metric(SM_CYCAPTION, 96) + 2 * metric(SM_CYDLGFRAME, 96) : ShadedHeight();
}

// What the window's styles put around no client area at all, at that DPI.
int FrameHeight(HWND window, UINT dpi)
{
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    const auto adjust = reinterpret_cast<AdjustForDpi>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi")));
    RECT frame{0, 0, 400, 0};
    if (adjust)
        adjust(&frame, Style(window), FALSE, ExStyle(window), dpi);
    else
        AdjustWindowRectEx(&frame, Style(window), FALSE, ExStyle(window));
    return frame.bottom - frame.top;
}

int ClientHeight(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return client.bottom - client.top;
}

// The window's height as the screen shows it, where the system scales the window.
int HeightOnScreen(HWND window)
{
    using ToPhysical = BOOL(WINAPI*)(HWND, POINT*);
    const auto toPhysical = reinterpret_cast<ToPhysical>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "LogicalToPhysicalPointForPerMonitorDPI")));
    const RECT rect = WindowRect(window);
    POINT top{rect.left, rect.top}, bottom{rect.left, rect.bottom};
    if (toPhysical) toPhysical(window, &top) && toPhysical(window, &bottom);
    return bottom.y - top.y;
}

class Shading : public WindowTest {
protected:
    HWND Frame(DWORD exStyle = 0) { return Keep(MakeWindow(WS_OVERLAPPEDWINDOW, exStyle)); }
};
TEST_F(Shading, RollsUpToTheCaptionAndComesBackWithHeightAndStyles)
{
    const HWND window = Frame(WS_EX_ACCEPTFILES);
    const RECT before = WindowRect(window);
    const DWORD style = Style(window), exStyle = ExStyle(window);

    windowTable.ToggleShade(window);
    const RECT shaded = WindowRect(window);
    EXPECT_TRUE(windowTable.IsShaded(window));
    EXPECT_EQ(shaded.bottom - shaded.top, ShadedHeight());
    EXPECT_EQ(shaded.left, before.left);
    EXPECT_EQ(shaded.top, before.top);
    EXPECT_EQ(shaded.right, before.right);
    EXPECT_EQ(Style(window), style & ~kSizingBits);
    EXPECT_EQ(ExStyle(window), exStyle & ~static_cast<DWORD>(WS_EX_ACCEPTFILES));

    windowTable.ToggleShade(window);
    EXPECT_FALSE(windowTable.IsShaded(window));
    EXPECT_TRUE(SameRect(WindowRect(window), before));
    EXPECT_EQ(Style(window), style);
    EXPECT_EQ(ExStyle(window), exStyle);
}

// On every monitor: the window is maximized again on the monitor it was maximized on.
TEST_F(Shading, MaximizedWindowIsRestoredBeforeShadingAndMaximizedAgainAfter)
{
    for (const Monitor& monitor : Monitors()) {
        const RECT start = InWork(monitor, 100, 80, 400, 300);
        SCOPED_TRACE("monitor at " + std::to_string(monitor.area.left) + "," + std::to_string(monitor.area.top));
        const HWND window = Keep(MakeWindow(WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, 0, nullptr, start));
        ASSERT_TRUE(IsZoomed(window));
        const DWORD maximizedStyle = Style(window);
        const RECT maximized = WindowRect(window);
        ASSERT_TRUE(Covers(maximized, monitor.work));

        windowTable.ToggleShade(window);
        EXPECT_FALSE(IsZoomed(window));
        EXPECT_EQ(Style(window) & WS_MAXIMIZE, 0u);
        const ShadeRecord record = *windowTable.RecordFor(window);
        EXPECT_TRUE(record.wasMaximized);
        EXPECT_TRUE(SameRect(record.shadedFrom, start)) << "the restored rectangle is the one shaded";
        EXPECT_EQ(Height(window), ShadedHeight());

        windowTable.ToggleShade(window);
        EXPECT_TRUE(IsZoomed(window));
        EXPECT_EQ(Style(window), maximizedStyle);
        EXPECT_TRUE(SameRect(WindowRect(window), maximized));
    }
}

// Shaded, a window keeps exactly its caption bar and frame at its own DPI, in its own coordinates,
// also where the library arrived in the process while the display had another DPI: on each monitor,
// the same window moved from one to the next and back. A window that is not per-monitor aware, on
// a monitor whose DPI the system scales it to, has its caption at its own DPI and on the screen that
// caption scaled. The library is called from the process's own DPI awareness, whatever the window's.
TEST_F(Shading, LeavesExactlyTheCaptionBarAndFrameAtTheWindowsDpi)
{
    processSettings.shadedHeight = ShadedHeightAt96Dpi();
    for (const bool aware : {false, true}) {
        if (aware && !PerMonitorAwareWindows()) break;
        std::vector<Monitor> monitors;
        HWND window = nullptr;
        {
            const PerMonitorAware scope(aware);
            monitors = Monitors();
            window = Frame();
        }
        std::vector<size_t> order{0};
        for (size_t i = 1; i < monitors.size(); ++i) order.push_back(i);
        if (monitors.size() > 1) order.push_back(0);
        for (const size_t i : order) {
            const UINT monitorDpi = DpiOf(monitors[i]), promised = PromisedDpi(i);
            SCOPED_TRACE(std::string(aware ? "per-monitor aware" : "the process's awareness") + ", monitor " +
                         std::to_string(i) + " at " + std::to_string(monitorDpi) + " DPI");
            ASSERT_TRUE(promised == 0 || monitorDpi == promised) << "promised " << promised;
            // In the window's own coordinates; the library is called from the process's.
            const auto own = [aware](auto&& read) {
                const PerMonitorAware scope(aware);
                return read();
            };
            const RECT start = own([&] { return InWork(monitors[i], 100, 80, 400, 300); });
            const UINT dpi = own([&] {
                SetWindowPos(window, nullptr, start.left, start.top, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
                return DpiOfWindow(window);
            });
            EXPECT_TRUE(!aware || dpi == monitorDpi) << dpi;
            // Wine 10 draws a per-monitor aware window's frame at the system's DPI on every monitor
            // (Windows at the window's): there the caption the library leaves is not all there is.
            const bool frameAtDpi =
                own([&] { return Height(window) - ClientHeight(window) == FrameHeight(window, dpi); });

            windowTable.ToggleShade(window);
            own([&] {
                EXPECT_TRUE(!frameAtDpi || ClientHeight(window) == 0) << ClientHeight(window);
                EXPECT_EQ(Height(window), FrameHeight(window, dpi)) << "at " << dpi << " DPI";
            });
            if (!aware) {
                EXPECT_NEAR(HeightOnScreen(window),
                            MulDiv(Height(window), static_cast<int>(monitorDpi), static_cast<int>(dpi)), 1);
            }
            windowTable.ToggleShade(window);
            EXPECT_EQ(own([&] { return Height(window); }), 300);
        }
    }
}

TEST_F(Shading, UnshadesToTheHeightOfTheLatestShading)
{
    const HWND window = Frame();
    windowTable.ToggleShade(window);
    windowTable.ToggleShade(window);
    SetWindowPos(window, nullptr, 0, 0, 400, 377, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    windowTable.ToggleShade(window);
    EXPECT_EQ(Height(window), ShadedHeight());
    windowTable.ToggleShade(window);
    EXPECT_EQ(Height(window), 377);
    EXPECT_EQ(windowTable.RecordFor(window)->storedHeight, 300) << "fixed at the first lookup";
}

TEST_F(Shading, FrameIsTheNearestSystemMenuWindowOrWithShiftTheOutermost)
{
    const HWND owner = Frame();
    const HWND popup = Keep(MakeWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, owner, {250, 200, 450, 400}));
    const HWND button = Keep(MakeControl("BUTTON", popup));

    windowTable.ToggleShadeOfFrame(button);
    EXPECT_TRUE(windowTable.IsShaded(popup));
    EXPECT_FALSE(windowTable.IsShaded(owner));
    EXPECT_FALSE(windowTable.IsShaded(button));
    windowTable.ToggleShadeOfFrame(button);

    windowTable.shiftHeld = true;
    SetKeyState(VK_SHIFT, true);
    windowTable.ToggleShadeOfFrame(button);
    EXPECT_TRUE(windowTable.IsShaded(owner));
    EXPECT_FALSE(windowTable.IsShaded(popup));
}

TEST_F(Shading, ChainWithoutSystemMenuShadesNothing)
{
    const HWND plain = Keep(MakeWindow(WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME));
    const HWND edit = Keep(MakeControl("EDIT", plain));
    const int height = Height(plain);
    windowTable.ToggleShadeOfFrame(edit);
    EXPECT_FALSE(windowTable.IsShaded(plain));
    EXPECT_EQ(Height(plain), height);
}

TEST_F(Shading, DebugLevelFourAsksAtEachShadingAndTheTraceRecordsIt)
{
    const HWND window = Frame();
    processSettings.debugLevel = 4;
    const std::string windowKey = "Software\\Pellamor\\Mirelunde\\Modules\\test (1)";
    processSettings.modulesKeyPath = windowKey;
    const DWORD style = Style(window);
    char traceKey[256];
    wsprintfA(traceKey, "%s\\hwnd 0x%x", windowKey.c_str(), static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)));
    const std::string height = std::to_string(Height(window)), shaded = std::to_string(ShadedHeight());
    char action[16];

    {
        BoxAnswerer answerer(GetCurrentProcessId(), IDOK);
        windowTable.ToggleShade(window);
        const auto box = answerer.Result();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->caption, "Mirelunde - shading");
        EXPECT_EQ(box->text, "Stored height: " + height + "\n\niShadedHeight: " + shaded);
        EXPECT_EQ(box->owner, window);
    }
    ASSERT_TRUE(ReadRegString(HKEY_CURRENT_USER, traceKey, "LastAction", action, sizeof action));
    EXPECT_STREQ(action, "Shade");

    {
        BoxAnswerer answerer(GetCurrentProcessId(), IDOK);
        windowTable.ToggleShade(window);
        const auto box = answerer.Result();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->caption, "Mirelunde - unshading");
        EXPECT_EQ(box->text, "Stored height: " + height + "\niShadedHeight: " + shaded);
    }
    ASSERT_TRUE(ReadRegString(HKEY_CURRENT_USER, traceKey, "LastAction", action, sizeof action));
    EXPECT_STREQ(action, "Unshade");
    DWORD savedStyle = 0;
    ASSERT_TRUE(ReadRegDword(HKEY_CURRENT_USER, traceKey, "si.dwStyle", savedStyle));
    EXPECT_EQ(savedStyle, style);
    EXPECT_FALSE(windowTable.IsShaded(window));
}

TEST_F(Shading, RestoreAllUnshadesAndGivesBackFirstSeenTopmostStates)
{
    const HWND shaded = Frame();
    const HWND madeTopmost = Frame();
    const HWND wasTopmost = Frame(WS_EX_TOPMOST);
    const HWND gone = Frame();
    const int height = Height(shaded);

    windowTable.ToggleShade(shaded);
    windowTable.AlwaysOnTop(madeTopmost, true);
    windowTable.AlwaysOnTop(wasTopmost, true);
    windowTable.ToggleShade(gone);
    ASSERT_TRUE(IsTopmost(madeTopmost));
    ASSERT_FALSE(IsTopmost(wasTopmost));
    DestroyWindow(gone);

    windowTable.RestoreAll();
    EXPECT_FALSE(windowTable.IsShaded(shaded));
    EXPECT_EQ(Height(shaded), height);
    EXPECT_FALSE(IsTopmost(madeTopmost));
    EXPECT_TRUE(IsTopmost(wasTopmost));
}

// The put-back, as the launcher's stop has each thread do it, leaves what the program changed after
// the library as it is. `palette`, where a case has one, is owned by the window and kept on top by
// its program from the start.
TEST_F(Shading, PutBackLeavesWhatTheProgramChangedAfterTheLibrary)
{
    using Step = void (*)(HWND window);
    struct Case {
        const char* name;
        DWORD exStyle;
        Step library;
        Step program;
        bool (*asTheProgramLeftIt)(HWND window);
        bool palette = false;
    };
    constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    static HWND palette = nullptr;
    const Case cases[] = {
        {"made topmost after a raise or sink", 0, [](HWND w) { windowTable.RaiseOrSink(w, nullptr); },
         [](HWND w) { SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, kFlags); }, [](HWND w) { return IsTopmost(w); }},
        {"taken off the top after the library met it", WS_EX_TOPMOST, [](HWND w) { windowTable.IsShaded(w); },
         [](HWND w) { SetWindowPos(w, HWND_NOTOPMOST, 0, 0, 0, 0, kFlags); }, [](HWND w) { return !IsTopmost(w); }},
        {"disabled while shaded", 0, [](HWND w) { windowTable.ToggleShade(w); }, [](HWND w) { EnableWindow(w, FALSE); },
         [](HWND w) { return !IsWindowEnabled(w) && (Style(w) & kSizingBits) == kSizingBits; }},
        {"its palette after On Top > Always on and off", 0,
         [](HWND w) {
             windowTable.AlwaysOnTop(w, true);
             windowTable.AlwaysOnTop(w, true);
         },
         [](HWND) {}, [](HWND) { return IsTopmost(palette); }, true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const HWND window = Frame(test.exStyle);
        if (test.palette) palette = Keep(MakeWindow(WS_POPUP | WS_CAPTION | WS_VISIBLE, WS_EX_TOPMOST, window));
        test.library(window);
        test.program(window);
        windowTable.RestoreThreadWindows();
        EXPECT_TRUE(test.asTheProgramLeftIt(window));
    }
}

// A GUI thread of its own with one shaded, stretched and topmost frame, pumping until told to put
// its windows back itself and then to end.
class OtherThread {
public:
    OtherThread()
    {
        thread_ = std::thread([this] {
            window_ = MakeWindow(WS_OVERLAPPEDWINDOW);
            height_ = Height(window_);
            windowTable.ToggleShade(window_);
            windowTable.AlwaysOnTop(window_, true);
            SetEvent(ready_.get());
            const HANDLE events[] = {putBack_.get(), end_.get()};
            for (;;) {
                const DWORD woken = MsgWaitForMultipleObjects(2, events, FALSE, INFINITE, QS_ALLINPUT);
                if (woken == WAIT_OBJECT_0) {
                    windowTable.RestoreThreadWindows();
                    SetEvent(ready_.get());
                }
                if (woken == WAIT_OBJECT_0 + 1) break;
                PumpFor(0);
            }
            DestroyWindow(window_);
        });
        WaitForSingleObject(ready_.get(), INFINITE);
    }
    ~OtherThread()
    {
        SetEvent(end_.get());
        thread_.join();
    }
    void PutBack() { SignalObjectAndWait(putBack_.get(), ready_.get(), INFINITE, FALSE); }
    HWND window() const { return window_; }
    int height() const { return height_; }

private:
    Handle ready_{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    Handle putBack_{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    Handle end_{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    HWND window_ = nullptr;
    int height_ = 0;
    std::thread thread_;
};

TEST_F(Shading, EachThreadPutsBackOnlyItsOwnWindowsAndTheirRecordsStartAfresh)
{
    OtherThread other;
    const HWND own = Frame();
    const int height = Height(own);
    windowTable.ToggleShade(own);
    windowTable.AlwaysOnTop(own, true);

    windowTable.RestoreThreadWindows();
    EXPECT_EQ(Height(own), height);
    EXPECT_FALSE(IsTopmost(own));
    EXPECT_EQ(Style(own) & kSizingBits, kSizingBits);
    EXPECT_FALSE(windowTable.RecordFor(own)->alwaysOnTop) << "the next session's record starts afresh";
    EXPECT_EQ(Height(other.window()), ShadedHeight()) << "another thread's window is its own thread's";
    EXPECT_TRUE(IsTopmost(other.window()));

    windowTable.RestoreAll();  // a detach after it finds nothing of this thread to change
    EXPECT_EQ(Height(own), height);
    EXPECT_FALSE(IsTopmost(own));
}

TEST_F(Shading, RestoreThreadWindowsOnTheOwningThreadGivesBackSizeStylesAndTopmost)
{
    OtherThread other;
    other.PutBack();
    EXPECT_EQ(Height(other.window()), other.height());
    EXPECT_FALSE(IsTopmost(other.window()));
    EXPECT_EQ(Style(other.window()) & kSizingBits, kSizingBits);
}

}  // namespace
