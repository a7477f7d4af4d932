// The notification-area icon's menu as the launcher makes it: its items, its default item, and the
// login mark read from the (redirected) Run key, whichever form the entry has.
#include "launcher/NotifyIcon.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/MenuReader.h"
#include "tests/support/RegistrySandbox.h"

#include <gtest/gtest.h>

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

}  // namespace
