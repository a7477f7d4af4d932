// Shortcuts of the user's choice: the real launcher's hotkeys pressed with real keys, the commands
// they run in other programs, and the settings window's "Shortcuts" part.
#include "launcher/LauncherTexts.h"
#include "launcher/window/DialogIds.h"
#include "launcher/window/ShortcutIds.h"
#include "settings/Language.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/ShortcutKeys.h"
#include "tests/e2e/Session.h"
#include "tests/support/Input.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace mirelunde;
using namespace testing_support;

namespace e2e {
namespace {

constexpr char kDialogClass[] = "#32770";
constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;

void ClearShortcuts()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kKey) + "\\" + names::kShortcuts).c_str());
}

std::string MinesweeperPath()
{
    const std::string notepad = NotepadPath();
    return notepad.substr(0, notepad.find_last_of('\\')) + "\\winemine.exe";
}

// Ctrl+Alt with the key, once Alt can be held (see LetFocusSettle).
void PressCtrlAlt(WORD key)
{
    LetFocusSettle();
    Chord({VK_CONTROL, VK_MENU, key});
}

class Shortcuts : public LauncherSession {
protected:
    void SetUp() override
    {
        LauncherSession::SetUp();
        ClearShortcuts();
    }

    void TearDown() override
    {
        if (const HWND open = FindWindowA(kDialogClass, mirelunde::Text(texts::kSettingsCaption))) {
            PostMessageA(open, WM_CLOSE, 0, 0);
            WaitUntil([&] { return !IsWindow(open); }, kStopMs);
        }
        RequestStop();
        if (launcher_) {
            EXPECT_EQ(launcher_->WaitForExit(kStopMs), 0);
        }
        ClearShortcuts();
    }

    static void Store(ShortcutCommand command, const char* text) { ASSERT_TRUE(WriteShortcut(command, text)); }

    std::unique_ptr<Process> Open(const std::string& commandLine, HWND& window)
    {
        auto process = Start(commandLine);
        EXPECT_TRUE(process);
        if (!process) return nullptr;
        window = WaitForWindow(process->id);
        EXPECT_NE(window, nullptr);
        if (window) {
            SetWindowPos(window, nullptr, opened_++ * 560 + 20, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            Activate(window);
        }
        return process;
    }

    // The settings window of the running launcher, in front, and its "Shortcuts" part.
    HWND OpenSettings(HWND& part)
    {
        command_ = Start(LauncherPath() + " --settings");
        HWND window = nullptr;
        WaitUntil(
            [&] {
                return (window = FindWindowA(kDialogClass, mirelunde::Text(texts::kSettingsCaption))) &&
                       IsWindowVisible(window);
            },
            kStartMs);
        part = window ? GetDlgItem(window, IDC_SHORTCUTS_PART) : nullptr;
        if (window) Activate(window);
        // Its page, as a person turns to it.
        Chord({VK_CONTROL, VK_TAB});
        EXPECT_TRUE(WaitUntil([&] { return part && IsWindowVisible(part); }, kActionMs)) << "no Shortcuts page";
        return window;
    }

    static std::string Text(HWND part, int control)
    {
        // Asked of the control: another process's GetWindowText sees an edit control's first text only.
        char text[256] = {};
        DWORD_PTR length = 0;
        SendMessageTimeoutA(GetDlgItem(part, control), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, kStopMs, &length);
        return text;
    }

    static int Row(ShortcutCommand command) { return static_cast<int>(command); }

    std::unique_ptr<Process> launcher_;
    std::unique_ptr<Process> command_;
    int opened_ = 0;
};

TEST_F(Shortcuts, ShortcutShadesAndUnshadesTheWindowInFrontAndNoOther)
{
    Store(ShortcutCommand::ShadeWindow, "ctrl+alt+F11");
    launcher_ = StartLauncher();
    ASSERT_TRUE(launcher_);
    HWND other = nullptr, pad = nullptr;
    auto target = Open(TargetAppPath(), other);
    auto notepad = Open(NotepadPath(), pad);
    ASSERT_TRUE(target && notepad && other && pad);
    const int padHeight = Height(pad), otherHeight = Height(other);

    PressCtrlAlt(VK_F11);
    EXPECT_TRUE(HeightBecomes(pad, ShadedHeight())) << "height " << Height(pad);
    EXPECT_EQ(Height(other), otherHeight);
    PressCtrlAlt(VK_F11);
    EXPECT_TRUE(HeightBecomes(pad, padHeight)) << "height " << Height(pad);
    EXPECT_EQ(Height(other), otherHeight);
}

TEST_F(Shortcuts, ShadeAllRollsUpNotepadAndMinesweeperAndUnshadeAllGivesBothBack)
{
    Store(ShortcutCommand::ShadeAll, "Ctrl+Alt+F9");
    Store(ShortcutCommand::UnshadeAll, "Ctrl+Alt+F10");
    launcher_ = StartLauncher();
    ASSERT_TRUE(launcher_);
    HWND pad = nullptr, mines = nullptr;
    auto notepad = Open(NotepadPath(), pad);
    auto minesweeper = Open(MinesweeperPath(), mines);
    ASSERT_TRUE(notepad && minesweeper && pad && mines);
    const int padHeight = Height(pad), minesHeight = Height(mines);

    PressCtrlAlt(VK_F9);
    EXPECT_TRUE(HeightBecomes(pad, ShadedHeight())) << "height " << Height(pad);
    EXPECT_TRUE(HeightBecomes(mines, ShadedHeight())) << "height " << Height(mines);
    PressCtrlAlt(VK_F10);
    EXPECT_TRUE(HeightBecomes(pad, padHeight)) << "height " << Height(pad);
    EXPECT_TRUE(HeightBecomes(mines, minesHeight)) << "height " << Height(mines);
}

TEST_F(Shortcuts, ShortcutTakenByAnotherProgramIsShownAndTheOthersWork)
{
    // This test's own thread holds Ctrl+Alt+F8 first, as another program would.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, kCtrlAlt, VK_F8));
    Store(ShortcutCommand::SinkWindow, "Ctrl+Alt+F8");
    Store(ShortcutCommand::ShadeWindow, "Ctrl+Alt+F11");
    Store(ShortcutCommand::HugTop, "Ctrl+Hyper");
    launcher_ = StartLauncher();
    ASSERT_TRUE(launcher_);

    HWND part = nullptr;
    const HWND settings = OpenSettings(part);
    ASSERT_TRUE(settings && part);
    EXPECT_EQ(Text(part, IDC_SHORTCUT_FIELD0 + Row(ShortcutCommand::SinkWindow)), "Ctrl+Alt+F8");
    EXPECT_EQ(Text(part, IDC_SHORTCUT_STATE0 + Row(ShortcutCommand::SinkWindow)),
              mirelunde::Text(texts::kShortcutTaken));
    EXPECT_EQ(Text(part, IDC_SHORTCUT_STATE0 + Row(ShortcutCommand::HugTop)), "Not a key: Hyper");
    EXPECT_EQ(Text(part, IDC_SHORTCUT_STATE0 + Row(ShortcutCommand::ShadeWindow)), "");
    PostMessageA(settings, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(settings); }, kStopMs));

    HWND pad = nullptr;
    auto notepad = Open(NotepadPath(), pad);
    ASSERT_TRUE(notepad && pad);
    const int height = Height(pad);
    PressCtrlAlt(VK_F11);
    EXPECT_TRUE(HeightBecomes(pad, ShadedHeight())) << "height " << Height(pad);
    PressCtrlAlt(VK_F11);
    EXPECT_TRUE(HeightBecomes(pad, height)) << "height " << Height(pad);
    UnregisterHotKey(nullptr, 1);
}

TEST_F(Shortcuts, ShortcutPressedInTheSettingsWindowWorksAfterApplyWithoutARestart)
{
    launcher_ = StartLauncher();
    ASSERT_TRUE(launcher_);
    HWND part = nullptr;
    const HWND settings = OpenSettings(part);
    ASSERT_TRUE(settings && part);
    const HWND field = GetDlgItem(part, IDC_SHORTCUT_FIELD0 + Row(ShortcutCommand::ShadeWindow));
    RECT rect{};
    GetWindowRect(field, &rect);
    Click({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, Button::Left);
    PressCtrlAlt(VK_F11);
    EXPECT_TRUE(
        WaitUntil([&] { return Text(part, IDC_SHORTCUT_FIELD0 + Row(ShortcutCommand::ShadeWindow)) == "Ctrl+Alt+F11"; },
                  kActionMs))
        << Text(part, IDC_SHORTCUT_FIELD0 + Row(ShortcutCommand::ShadeWindow));
    GetWindowRect(GetDlgItem(settings, IDC_APPLY), &rect);
    Click({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, Button::Left);
    EXPECT_TRUE(WaitUntil(
        [] { return ReadShortcuts()[static_cast<size_t>(ShortcutCommand::ShadeWindow)].text == "Ctrl+Alt+F11"; },
        kActionMs));
    PostMessageA(settings, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(settings); }, kStopMs));

    HWND pad = nullptr;
    auto notepad = Open(NotepadPath(), pad);
    ASSERT_TRUE(notepad && pad);
    const int height = Height(pad);
    PressCtrlAlt(VK_F11);
    EXPECT_TRUE(HeightBecomes(pad, ShadedHeight())) << "height " << Height(pad);
    PressCtrlAlt(VK_F11);
    EXPECT_TRUE(HeightBecomes(pad, height)) << "height " << Height(pad);
}

}  // namespace
}  // namespace e2e
