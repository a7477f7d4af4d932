// Shading and the window actions in other processes, driven by real mouse and keyboard input
// while the real launcher's hooks are installed.
#include "actions/WindowTable.h"
#include "hook/SettingsNames.h"
#include "tests/e2e/Session.h"
#include "tests/support/Input.h"

#include <gtest/gtest.h>

#include <string>

using namespace mirelunde;
using namespace testing_support;

namespace e2e {
namespace {

constexpr DWORD kActionMs = 5000;

class Shading : public LauncherSession {
protected:
    void SetUp() override
    {
        LauncherSession::SetUp();
        launcher_ = StartLauncher();
        ASSERT_TRUE(launcher_);
    }

    void TearDown() override
    {
        RequestStop();
        if (launcher_) {
            EXPECT_EQ(launcher_->WaitForExit(kStopMs), 0);
        }
    }

    // Starts a program and waits for its window, in front and active.
    std::unique_ptr<Process> Open(const std::string& commandLine, HWND& window)
    {
        auto process = Start(commandLine);
        EXPECT_TRUE(process);
        if (!process) return nullptr;
        window = WaitForWindow(process->id);
        EXPECT_NE(window, nullptr);
        if (window) Activate(window);
        return process;
    }

    static void Activate(HWND window)
    {
        SetForegroundWindow(window);
        WaitUntil([&] { return GetForegroundWindow() == window; }, kActionMs);
    }

    static void DoubleClickCaption(HWND window)
    {
        MoveTo(CaptionPoint(window));
        Click(Button::Left, 2);
    }

    static bool HeightBecomes(HWND window, int height)
    {
        return WaitUntil([&] { return Height(window) == height; }, kActionMs);
    }

    std::unique_ptr<Process> launcher_;
};

TEST_F(Shading, CaptionDoubleClickRollsUpNotepadAndTheTargetAndBringsThemBack)
{
    for (const std::string& program : {NotepadPath(), TargetAppPath()}) {
        SCOPED_TRACE(program);
        HWND window = nullptr;
        auto process = Open(program, window);
        ASSERT_TRUE(process && window);
        const int height = Height(window);

        DoubleClickCaption(window);
        EXPECT_TRUE(HeightBecomes(window, ShadedHeight())) << "height " << Height(window);
        Sleep(GetDoubleClickTime());  // two double-clicks in a row would make a triple click
        DoubleClickCaption(window);
        EXPECT_TRUE(HeightBecomes(window, height)) << "height " << Height(window);
    }
}

TEST_F(Shading, MaximizedWindowIsRestoredForShadingAndMaximizedAgain)
{
    HWND window = nullptr;
    auto target = Open(TargetAppPath() + " maximized", window);
    ASSERT_TRUE(target && window);
    ASSERT_TRUE(IsZoomed(window));

    DoubleClickCaption(window);
    EXPECT_TRUE(HeightBecomes(window, ShadedHeight()));
    EXPECT_FALSE(IsZoomed(window));
    Sleep(GetDoubleClickTime());
    DoubleClickCaption(window);
    EXPECT_TRUE(WaitUntil([&] { return IsZoomed(window) != FALSE; }, kActionMs));
}

TEST_F(Shading, AltKeypadZeroShadesTheFocusedWindow)
{
    HWND window = nullptr;
    auto notepad = Open(NotepadPath(), window);
    ASSERT_TRUE(notepad && window);
    const int height = Height(window);
    Chord({VK_MENU, VK_NUMPAD0});
    EXPECT_TRUE(HeightBecomes(window, ShadedHeight()));
    Chord({VK_MENU, VK_NUMPAD0});
    EXPECT_TRUE(HeightBecomes(window, height));
}

TEST_F(Shading, ShadedWindowIsClosedAtItsFullHeight)
{
    for (const char* how : {"Alt+F4", "close button"}) {
        SCOPED_TRACE(how);
        HWND window = nullptr;
        auto target = Open(TargetAppPath(), window);
        ASSERT_TRUE(target && window);
        const int height = Height(window);
        DoubleClickCaption(window);
        ASSERT_TRUE(HeightBecomes(window, ShadedHeight()));

        Sleep(GetDoubleClickTime());
        if (std::string(how) == "Alt+F4") {
            Chord({VK_MENU, VK_F4});
        } else {
            MoveTo(CloseButtonPoint(window));
            Click(Button::Left);
        }
        EXPECT_EQ(target->WaitForExit(kStopMs), 0);
        EXPECT_NE(target->Errors().find("close " + std::to_string(height)), std::string::npos) << target->Errors();
    }
}

TEST_F(Shading, MiddleClickSinksTheTopWindowAndActivatesTheOneBelow)
{
    WriteDword(names::kSinkOnMiddle, 1);
    WriteDword(names::kTwoButtonMouse, 0);  // read when the library arrives in each program
    HWND lower = nullptr, upper = nullptr;
    auto first = Open(TargetAppPath(), lower);
    auto second = Open(TargetAppPath(), upper);
    ASSERT_TRUE(first && second && lower && upper);
    SetWindowPos(upper, nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Activate(upper);

    MoveTo(CaptionPoint(upper));
    Click(Button::Middle);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == lower; }, kActionMs + GetDoubleClickTime()));
    bool upperBelowLower = false;
    for (HWND next = GetWindow(lower, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
        upperBelowLower = upperBelowLower || next == upper;
    EXPECT_TRUE(upperBelowLower);
}

TEST_F(Shading, AltScrollLockTogglesTopmost)
{
    HWND window = nullptr;
    auto target = Open(TargetAppPath(), window);
    ASSERT_TRUE(target && window);
    Chord({VK_MENU, VK_SCROLL});
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(window); }, kActionMs));
    Chord({VK_MENU, VK_SCROLL});
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(window); }, kActionMs));
}

}  // namespace
}  // namespace e2e
