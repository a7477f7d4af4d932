// The text of a shortcut of the user's choice: what it names, what it does not, and the text a key is
// shown and stored with.
#include "settings/ShortcutKeys.h"

#include <gtest/gtest.h>

using namespace mirelunde;

namespace {

struct ShortcutCase {
    const char* text;
    ShortcutKey key;  // {0, 0}: no shortcut
    ShortcutFault fault;
    const char* part;   // what a fault names
    const char* shown;  // the text of the key parsed, when there is one
};

TEST(ShortcutKeys, TextNamesModifiersAndOneKeyOrSaysWhatIsWrong)
{
    constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;
    const ShortcutCase cases[] = {
        {"Ctrl+Alt+F11", {kCtrlAlt, VK_F11}, ShortcutFault::None, "", "Ctrl+Alt+F11"},
        {"win+shift+r", {MOD_WIN | MOD_SHIFT, 'R'}, ShortcutFault::None, "", "Shift+Win+R"},
        {" Alt + Ctrl + 7 ", {kCtrlAlt, '7'}, ShortcutFault::None, "", "Ctrl+Alt+7"},
        {"Ctrl+Num +", {MOD_CONTROL, VK_ADD}, ShortcutFault::None, "", "Ctrl+Num +"},
        {"alt+num 0", {MOD_ALT, VK_NUMPAD0}, ShortcutFault::None, "", "Alt+Num 0"},
        {"Ctrl+Page Up", {MOD_CONTROL, VK_PRIOR}, ShortcutFault::None, "", "Ctrl+PageUp"},
        {"Shift+Delete", {}, ShortcutFault::NeedsModifier, "Delete", nullptr},
        {"Win+Space", {MOD_WIN, VK_SPACE}, ShortcutFault::None, "", "Win+Space"},
        {"F24", {0, VK_F24}, ShortcutFault::None, "", "F24"},
        {"Shift+Left", {MOD_SHIFT, VK_LEFT}, ShortcutFault::None, "", "Shift+Left"},
        {"", {}, ShortcutFault::None, "", nullptr},
        {"   ", {}, ShortcutFault::None, "", nullptr},
        {"Ctrl+", {}, ShortcutFault::NotAKey, "", nullptr},
        {"Ctrl+Hyper+A", {}, ShortcutFault::NotAKey, "Hyper+A", nullptr},
        {"Ctrl+Alt", {}, ShortcutFault::NotAKey, "Alt", nullptr},
        {"Ctrl+F25", {}, ShortcutFault::NotAKey, "F25", nullptr},
        {"Ctrl+AB", {}, ShortcutFault::NotAKey, "AB", nullptr},
        {"Ctrl+Num 10", {}, ShortcutFault::NotAKey, "Num 10", nullptr},
        {"A", {}, ShortcutFault::NeedsModifier, "A", nullptr},
        {"Shift+5", {}, ShortcutFault::NeedsModifier, "5", nullptr},
        {"Num 3", {}, ShortcutFault::NeedsModifier, "Num 3", nullptr},
    };
    for (const ShortcutCase& row : cases) {
        SCOPED_TRACE(row.text);
        const StoredShortcut parsed = ParseShortcut(row.text);
        EXPECT_EQ(parsed.text, row.text);
        EXPECT_EQ(parsed.key.modifiers, row.key.modifiers);
        EXPECT_EQ(parsed.key.key, row.key.key);
        EXPECT_EQ(parsed.fault, row.fault);
        EXPECT_EQ(parsed.part, row.part);
        if (row.shown != nullptr) {
            EXPECT_EQ(ShortcutText(parsed.key), row.shown);
            EXPECT_EQ(ParseShortcut(row.shown).key, parsed.key);
        }
    }
}

}  // namespace
