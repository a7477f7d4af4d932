// The lists of programs: which programs an entry names, and putting one on a list or taking it off.
#include "settings/Handles.h"
#include "settings/ProgramLists.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

using namespace mirelunde;

namespace {

constexpr char kGame[] = "C:\\Games\\Orbit\\Game.exe";

// A list of exactly `length` characters that ends with the game's name.
std::string ListOfLength(size_t length)
{
    const std::string tail = ";game.exe";
    return std::string(length - tail.size(), 'x') + tail;
}

// The same in Cyrillic, two bytes a character in UTF-8, ending with the Cyrillic game's name.
constexpr char kCyrillicGame[] = "C:\\Игры\\Игра.exe";
std::string CyrillicListOfLength(size_t length)
{
    const std::string tail = ";игра.exe";  // 9 characters
    std::string list;
    for (size_t i = 0; i + 9 < length; ++i) list += "ж";
    return list + tail;
}

TEST(ProgramLists, EntriesNameAProgramByItsWholeFileNameOrWholePath)
{
    struct Case {
        const char* label;
        std::string list;
        bool named;
        const char* exePath = kGame;
    } const cases[] = {
        {"bare name in other case", "GAME.EXE", true},
        {"one of several", "notepad.exe;game.exe", true},
        {"blanks around entries", "  notepad.exe ;\tgame.exe  ", true},
        {"empty entries", ";;game.exe;", true},
        {"full path", "C:\\games\\ORBIT\\game.exe", true},
        {"full path in quotes, forward slashes", "\"c:/games/orbit/game.exe\"", true},
        {"path of another file of that name", "C:\\Other\\game.exe", false},
        {"path without its drive", "Orbit\\game.exe", false},
        {"name's tail", "me.exe", false},
        {"name without extension", "game", false},
        {"longer name", "game.exe.bak", false},
        {"empty", "", false},
        {"only separators and blanks", ";; ;", false},
        {"a character no file name holds", "game.exe;bad|name.exe", false},
        {"colon past a drive letter", "game.exe;notes:2.exe", false},
        {"control character inside an entry", "ga\tme.exe", false},
        {"longest list", ListOfLength(kProgramListSize - 1), true},
        {"one character too long", ListOfLength(kProgramListSize), false},
        {"far too long", std::string(1000, 'x') + ";game.exe", false},
        {"Cyrillic name in other case", "ИГРА.EXE", true, kCyrillicGame},
        {"Greek name in other case", "ΠΑΙΧΝΙΔΙ.exe", true, "C:\\Games\\παιχνιδι.exe"},
        {"longest list in Cyrillic, counted in characters", CyrillicListOfLength(kProgramListSize - 1), true,
         kCyrillicGame},
        {"Cyrillic list one character too long", CyrillicListOfLength(kProgramListSize), false, kCyrillicGame},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(ListNamesProgram(c.list, c.exePath), c.named);
    }
}

// What putting the game on a list, or taking it off, leaves stored, from what was stored before.
TEST(ProgramLists, ChangingAListKeepsWhatTheUserWrote)
{
    constexpr const char* kKeptOnTop = names::kProgramsKeptOnTop;
    struct Case {
        const char* label;
        DWORD type;  // REG_NONE: no value
        std::string before;
        const char* exePath;
        bool done;                         // the stored list names the program, or not, as asked
        std::optional<std::string> after;  // nothing: not text any more
        bool listed = true;                // put on the list, or taken off
        const char* value = names::kExcludedPrograms;
    } const cases[] = {
        {"no list yet", REG_NONE, "", kGame, true, "Game.exe"},
        {"appended", REG_SZ, "notepad.exe", kGame, true, "notepad.exe;Game.exe"},
        {"after a trailing separator", REG_SZ, "notepad.exe; ", kGame, true, "notepad.exe;Game.exe"},
        {"named already", REG_SZ, "c:\\games\\orbit\\GAME.EXE", kGame, true, "c:\\games\\orbit\\GAME.EXE"},
        {"no room left", REG_SZ, std::string(kProgramListSize - 5, 'x'), kGame, false,
         std::string(kProgramListSize - 5, 'x')},
        {"room for the name but not for the terminator the value stores", REG_SZ, std::string(250, 'x'), kGame, false,
         std::string(250, 'x')},
        {"not a list", REG_SZ, "notepad.exe;<any>", kGame, false, "notepad.exe;<any>"},
        {"too long to read", REG_SZ, std::string(600, 'x'), kGame, false, std::string(600, 'x')},
        {"not text", REG_DWORD, "", kGame, false, std::nullopt},
        {"a name the list cannot hold", REG_NONE, "", "C:\\Games\\a;b.exe", false, std::nullopt},
        {"kept on top: appended", REG_SZ, "notepad.exe", kGame, true, "notepad.exe;Game.exe", true, kKeptOnTop},
        {"taken off by its name and its path, the rest as written", REG_SZ,
         " notepad.exe;GAME.exe ;  \"paint.exe\";c:/games/orbit/game.exe", kGame, true, " notepad.exe;  \"paint.exe\"",
         false, kKeptOnTop},
        {"taken off, nothing left", REG_SZ, "game.exe", kGame, true, "", false, kKeptOnTop},
        {"taken off a list that does not name it", REG_SZ, "notepad.exe", kGame, true, "notepad.exe", false},
        {"taken off no list", REG_NONE, "", kGame, true, std::nullopt, false, kKeptOnTop},
        {"taken off a list that cannot be read", REG_SZ, "game.exe;<any>", kGame, false, "game.exe;<any>", false,
         kKeptOnTop},
        {"a Cyrillic name appended", REG_SZ, "notepad.exe", kCyrillicGame, true, "notepad.exe;Игра.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        testing_support::RegistrySandbox::Clear();
        if (c.type == REG_SZ) {
            ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, names::kSettingsKey, c.value, c.before.c_str()));
        }
        if (c.type == REG_DWORD) {
            ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, c.value, 1));
        }

        EXPECT_EQ(SetProgramListed(c.value, c.exePath, c.listed), c.done);
        EXPECT_EQ(IsListedProgram(c.value, c.exePath), c.listed && c.done);
        char stored[1024];
        const bool text = ReadRegString(HKEY_CURRENT_USER, names::kSettingsKey, c.value, stored, sizeof stored);
        EXPECT_EQ(text ? std::optional<std::string>(stored) : std::nullopt, c.after);
        if (c.type == REG_DWORD) {
            DWORD value = 0;
            EXPECT_TRUE(ReadRegDword(HKEY_CURRENT_USER, names::kSettingsKey, c.value, value));
        }
    }
}

// A list that an earlier version wrote through the ANSI functions, in the code page, names the same
// programs now.
TEST(ProgramLists, AListWrittenInTheCodePageNamesTheSamePrograms)
{
    testing_support::RegistrySandbox::Clear();
    char list[64] = {};
    BOOL lost = FALSE;
    ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, L"notepad.exe;Caf\u00e9.exe", -1, list, sizeof list, nullptr, &lost), 0);
    if (lost) GTEST_SKIP() << "the code page has no \u00e9";
    RegKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, names::kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), names::kExcludedPrograms, 0, REG_SZ, reinterpret_cast<const BYTE*>(list),
                             static_cast<DWORD>(std::strlen(list) + 1)),
              ERROR_SUCCESS);
    EXPECT_TRUE(IsListedProgram(names::kExcludedPrograms, "C:\\Tools\\CAF\u00c9.EXE"));
    EXPECT_EQ(ReadStoredList(names::kExcludedPrograms).text, "notepad.exe;Caf\u00e9.exe");
}

}  // namespace
