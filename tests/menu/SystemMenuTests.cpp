// The library's item in real System Menus: identifiers, where it goes, removal, and the hook's use of it.
#include "actions/WindowTable.h"
#include "hook/Attach.h"
#include "hook/Exports.h"
#include "hook/GestureState.h"
#include "menu/SystemMenu.h"
#include "settings/Handles.h"
#include "settings/ProcessSettings.h"
#include "tests/support/MenuReader.h"
#include "tests/support/ProcessState.h"
#include "tests/support/TestWindows.h"
#include "tests/support/WindowTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace {

constexpr UINT kAppItem = 0x1234;

std::string ItemText(HWND window, UINT id)
{
    char text[64] = {};
    GetMenuStringA(GetSystemMenu(window, FALSE), id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

bool HasItem(HWND window, UINT id)
{
    return !IsCommandIdFree(GetSystemMenu(window, FALSE), id);
}

using SystemMenu = WindowTest;

TEST_F(SystemMenu, IdentifiersStepDownPastTakenOnes)
{
    const HWND window = Keep(MakeWindow(WS_OVERLAPPEDWINDOW));
    const HMENU menu = GetSystemMenu(window, FALSE);
    AppendMenuA(menu, MF_STRING, 0xEFFF, "taken");
    AppendMenuA(menu, MF_STRING, 0xEFFE, "taken too");
    EXPECT_FALSE(IsCommandIdFree(menu, 0xEFFF));
    EXPECT_TRUE(IsCommandIdFree(menu, 0xEFFD));

    ASSERT_TRUE(windowTable.AddSystemMenuItem(window));
    EXPECT_EQ(windowTable.systemMenuItemId, 0xEFFDu);
    EXPECT_EQ(ItemText(window, 0xEFFD), "Mirelunde ...");
    ASSERT_TRUE(windowTable.AddSystemMenuItem(window));
    EXPECT_EQ(windowTable.systemMenuItemId, 0xEFFCu) << "a second add appends a second item";
    EXPECT_TRUE(HasItem(window, 0xEFFD));
}

TEST_F(SystemMenu, OwnedWindowGetsTheItemAndRemovalTakesOnlyTheItem)
{
    const HWND owner = Keep(MakeWindow(WS_OVERLAPPEDWINDOW));
    const HWND popup = Keep(MakeWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, owner, {260, 200, 460, 380}));
    AppendMenuA(GetSystemMenu(owner, FALSE), MF_STRING, kAppItem, "The application's own");
    AppendMenuA(GetSystemMenu(popup, FALSE), MF_STRING, kAppItem + 1, "The dialog's own");

    ASSERT_TRUE(windowTable.AddSystemMenuItem(popup));
    EXPECT_TRUE(HasItem(popup, 0xEFFF));
    EXPECT_FALSE(HasItem(owner, 0xEFFF));
    EXPECT_EQ(windowTable.systemMenuWindow, popup);

    windowTable.RemoveSystemMenuItem();
    EXPECT_EQ(windowTable.systemMenuItemId, 0u);
    EXPECT_FALSE(HasItem(popup, 0xEFFF)) << "the item stayed behind in the dialog";
    EXPECT_TRUE(HasItem(popup, kAppItem + 1));
    EXPECT_TRUE(HasItem(owner, kAppItem)) << "the program's own item went with it";
    windowTable.RemoveSystemMenuItem();
    EXPECT_TRUE(HasItem(owner, kAppItem));
}

TEST_F(SystemMenu, WindowWithoutSystemMenuGetsNoItem)
{
    const HWND plain = Keep(MakeWindow(WS_POPUP | WS_CAPTION));
    EXPECT_FALSE(windowTable.AddSystemMenuItem(plain));
    EXPECT_EQ(windowTable.systemMenuItemId, 0u);
    EXPECT_EQ(windowTable.systemMenuWindow, nullptr);
}

TEST_F(SystemMenu, HookAddsTheItemAtTheFirstMessagesAndItsCommandOpensTheMenu)
{
    processSettings.addToSystemMenu = true;
    const HWND window = Keep(MakeWindow(WS_OVERLAPPEDWINDOW));
    Hook hook(SetWindowsHookExA(WH_GETMESSAGE, BrackwenGetMsgProc, nullptr, GetCurrentThreadId()));
    ASSERT_TRUE(hook);
    PostMessageA(window, WM_APP, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return WasReceived(window, WM_APP); }, 2000));
    EXPECT_TRUE(gestureState.systemMenuItemDone);
    const UINT id = windowTable.systemMenuItemId;
    ASSERT_NE(id, 0u);
    EXPECT_EQ(ItemText(window, id), "Mirelunde ...");

    MenuAnswerer answerer(GetCurrentProcessId(), {});
    PostMessageA(window, WM_SYSCOMMAND, id, 0);
    PumpUntil([&] { return WasReceived(window, WM_SYSCOMMAND); }, 5000);
    const auto menu = answerer.Result();
    ASSERT_TRUE(menu) << "no command menu opened";
    ASSERT_FALSE(menu->items.empty());
    EXPECT_EQ(menu->items.front().text, "Shade window");
}

TEST_F(SystemMenu, TwoButtonModeAddsNoItem)
{
    processSettings.addToSystemMenu = true;
    processSettings.twoButtonMouse = true;
    const HWND window = Keep(MakeWindow(WS_OVERLAPPEDWINDOW));
    Hook hook(SetWindowsHookExA(WH_GETMESSAGE, BrackwenGetMsgProc, nullptr, GetCurrentThreadId()));
    PostMessageA(window, WM_APP, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return WasReceived(window, WM_APP); }, 2000));
    EXPECT_TRUE(gestureState.systemMenuItemDone);
    EXPECT_EQ(windowTable.systemMenuItemId, 0u);
    EXPECT_TRUE(IsCommandIdFree(GetSystemMenu(window, FALSE), 0xEFFF));
}

TEST_F(SystemMenu, DetachTakesTheItemAway)
{
    const HWND window = Keep(MakeWindow(WS_OVERLAPPEDWINDOW));
    ASSERT_TRUE(windowTable.AddSystemMenuItem(window));
    processSettings.getMessageHook = reinterpret_cast<HHOOK>(static_cast<uintptr_t>(0x20));
    DetachProcess();
    EXPECT_EQ(windowTable.systemMenuItemId, 0u);
    EXPECT_FALSE(HasItem(window, 0xEFFF));
}

}  // namespace
