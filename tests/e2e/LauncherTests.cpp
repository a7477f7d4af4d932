// The real launcher under Wine: it hooks programs started after it, refuses a second copy,
// reports a missing library, shows its notification-area icon while it runs, and stops when
// "HHook" is set to 0.
#include "settings/Handles.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"
#include "tests/e2e/Session.h"
#include "tests/support/Paths.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <string>

using namespace mirelunde;

namespace {

using namespace e2e;
using LauncherEndToEnd = LauncherSession;

TEST_F(LauncherEndToEnd, NotepadStartedAfterTheLauncherGetsTheLibraryUntilItExits)
{
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kDebugLevel, 1));
    auto launcher = StartLauncher();
    ASSERT_TRUE(launcher);

    auto notepad = Start(NotepadPath());
    ASSERT_TRUE(notepad);
    const std::string traceKey = ModulesKey("notepad", notepad->id);
    char path[MAX_PATH] = {};
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadRegString(HKEY_CURRENT_USER, traceKey.c_str(), names::kPath, path, sizeof path); }, kStartMs))
        << "no trace key " << traceKey;
    char image[MAX_PATH] = {};
    DWORD imageSize = sizeof image;
    ASSERT_TRUE(QueryFullProcessImageNameA(notepad->process.get(), 0, image, &imageSize));
    EXPECT_EQ(lstrcmpiA(path, image), 0) << path << " vs " << image;

    RequestStop();
    EXPECT_EQ(launcher->WaitForExit(kStopMs), 0) << "the launcher did not stop; it said: " << launcher->Errors();

    // The library leaves notepad, and removes its trace, when notepad exits.
    ASSERT_TRUE(WaitUntil([&] { return !VisibleWindows(notepad->id).empty(); }, kStartMs));
    for (HWND window : VisibleWindows(notepad->id)) PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(notepad->WaitForExit(kStopMs), 0);
    RegKey gone;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, traceKey.c_str(), 0, KEY_READ, gone.put()), ERROR_SUCCESS);
}

// Under an English code page, a launcher copied into a folder named in Cyrillic, or in Chinese, loads
// its library and hooks notepad, and the login entry it writes names that folder.
TEST_F(LauncherEndToEnd, LauncherInAFolderNamedInAnotherScriptHooksNotepadAndNamesItsFolderAtLogin)
{
    RunEntrySnapshot entry;
    for (const char* name : {"Программы Мирелунде", "米雷伦德程序"}) {
        SCOPED_TRACE(name);
        const std::string folder = testing_support::TempDirectory() + "\\" + name;
        ASSERT_TRUE(CreateDirectoryW(Wide(folder).c_str(), nullptr));
        char inCodePage[MAX_PATH] = {};
        BOOL lost = FALSE;
        WideCharToMultiByte(CP_ACP, 0, Wide(name).c_str(), -1, inCodePage, sizeof inCodePage, nullptr, &lost);
        EXPECT_TRUE(lost) << "the ANSI code page holds the folder's name, so this proves nothing";
        for (const char* file : {"mirelunde.exe", "Mirelunde.dll"})
            ASSERT_TRUE(
                CopyFileW(Wide(testing_support::BuiltFile(file)).c_str(), Wide(folder + "\\" + file).c_str(), FALSE));
        const std::string launcherPath = "\"" + folder + "\\mirelunde.exe\"";

        auto launcher = StartLauncher(launcherPath);
        ASSERT_TRUE(launcher);
        auto notepad = Start(NotepadPath());
        ASSERT_TRUE(notepad);
        const HWND pad = WaitForWindow(notepad->id);
        ASSERT_NE(pad, nullptr);
        Activate(pad);
        DoubleClickCaption(pad);
        EXPECT_TRUE(HeightBecomes(pad, ShadedHeight())) << "height " << Height(pad);
        RequestStop();
        EXPECT_EQ(launcher->WaitForExit(kStopMs), 0) << launcher->Errors();

        auto login = Start(launcherPath + " --login on");
        ASSERT_TRUE(login);
        EXPECT_EQ(login->WaitForExit(kStopMs), 0) << login->Errors();
        EXPECT_EQ(RunEntry(), launcherPath);
    }
}

TEST_F(LauncherEndToEnd, SecondLauncherIsRefusedWhileOneRuns)
{
    auto first = StartLauncher();
    ASSERT_TRUE(first);
    auto second = Start(LauncherPath());
    ASSERT_TRUE(second);
    EXPECT_EQ(second->WaitForExit(kStopMs), 2);
    EXPECT_NE(second->Errors().find("already running"), std::string::npos) << second->Errors();
    EXPECT_EQ(WaitForSingleObject(first->process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "first one ended";

    RequestStop();
    EXPECT_EQ(first->WaitForExit(kStopMs), 0);
}

TEST_F(LauncherEndToEnd, MissingLibraryIsReportedAndNothingIsPublished)
{
    const std::string alone = testing_support::TempDirectory() + "\\mirelunde.exe";
    ASSERT_TRUE(CopyFileA(testing_support::BuiltFile("mirelunde.exe").c_str(), alone.c_str(), FALSE));
    auto launcher = Start("\"" + alone + "\"");
    ASSERT_TRUE(launcher);
    EXPECT_EQ(launcher->WaitForExit(kStopMs), 1);
    EXPECT_NE(launcher->Errors().find("Mirelunde.dll"), std::string::npos) << launcher->Errors();
    EXPECT_EQ(ReadDword(names::kHHook, 1), 0u);
}

// A launcher running alone shows the icon, the 32-bit one too (as on 32-bit Windows).
TEST_F(LauncherEndToEnd, NotificationIconShowsWhileItRunsAndComesBackWithANewTaskbar)
{
    auto launcher = StartLauncher();
    ASSERT_TRUE(launcher);
    const HWND window = WaitForIcon(launcher->id);
    ASSERT_NE(window, nullptr) << "no icon; the launcher said: " << launcher->Errors();

    // Explorer started again: its new taskbar holds no icons until their programs add them again.
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
    ASSERT_FALSE(IconShown(window));
    SendMessageTimeoutA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, kStopMs, nullptr);
    EXPECT_TRUE(IconShown(window));

    RequestStop();
    EXPECT_EQ(launcher->WaitForExit(kStopMs), 0) << launcher->Errors();
}

}  // namespace
