// The notification-area icon as the launcher makes it: its menu's items, its default item, the
// login mark read from the (redirected) Run key, whichever form the entry has, and the icon offered
// until it is taken.
#include "launcher/LauncherTexts.h"
#include "launcher/NotifyIcon.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/ImportTable.h"
#include "tests/support/MenuReader.h"
#include "tests/support/RegistrySandbox.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <atomic>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace mirelunde;

namespace {

TEST(IconMenu, OffersTheSettingsTheUsageTheLoginEntryAndTheStopWithTheEntrysRealState)
{
    struct Row {
        const char* name;
        std::optional<std::string> entry;
        bool checked;
    };
    const Row rows[] = {
        {"no entry", std::nullopt, false},
        {"the launcher's quoted path", "\"C:\\Program Files\\Mirelunde\\mirelunde.exe\" -2", true},
        {"the bare name, as entries were written before", "mirelunde.exe -2", true},
        {"another program", "\"C:\\Tools\\other.exe\" mirelunde.exe", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testing_support::RegistrySandbox::Clear();
        if (row.entry) {
            ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, names::kRunKey, names::kRunEntry, row.entry->c_str()));
        }
        const Menu menu = IconMenu();
        ASSERT_TRUE(menu);
        const auto items = testing_support::ReadMenu(menu.get());
        std::vector<std::string> texts;
        for (const auto& item : items) texts.push_back(item.text);
        EXPECT_EQ(texts, (std::vector<std::string>{"Settings ...", "About Mirelunde ...", "Run Mirelunde at login", "",
                                                   "Stop Mirelunde"}));
        ASSERT_EQ(items.size(), 5u);
        EXPECT_NE(items[0].state & MFS_DEFAULT, 0u) << "what a double-click on the icon opens";
        EXPECT_EQ((items[2].state & MFS_CHECKED) != 0, row.checked);
    }
}

std::atomic<int> addsToRefuse{0};
decltype(&Shell_NotifyIconW) realNotifyIcon = nullptr;

BOOL WINAPI RefusingAdds(DWORD message, PNOTIFYICONDATAW data)
{
    if (message == NIM_ADD && addsToRefuse-- > 0) return FALSE;
    return realNotifyIcon(message, data);
}

// At log-on the shell may refuse the icon for a while, and no taskbar is created after it. The icon
// is linked into this executable: its calls to the shell go through this executable's imports.
TEST(NotifyIcon, IsOfferedAgainUntilTheShellTakesIt)
{
    ASSERT_TRUE(
        testing_support::BindImports(GetModuleHandleA(nullptr), [](const char*, const char* function, void* real) {
            if (std::strcmp(function, "Shell_NotifyIconW") != 0) return real;
            realNotifyIcon = reinterpret_cast<decltype(realNotifyIcon)>(real);
            return reinterpret_cast<void*>(&RefusingAdds);
        }));
    addsToRefuse = 2;
    NotifyIcon icon;
    icon.Show("");
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = FindWindowA(kNotifyWindowClass, nullptr);
    data.uID = kNotifyIconId;
    const ULONGLONG deadline = GetTickCount64() + 15000;
    while (!Shell_NotifyIconW(NIM_MODIFY, &data) && GetTickCount64() < deadline) Sleep(100);
    EXPECT_LT(addsToRefuse, 0) << "offered fewer than three times";
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data)) << "not offered again";
    icon.Remove();
}

}  // namespace
