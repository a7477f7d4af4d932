// The login entry on redirected registry roots: writing, deleting, the legacy entries in both
// roots, the result, and what counts as an entry that starts the launcher.
#include "commands/Login.h"
#include "hook/Exports.h"
#include "hook/Handles.h"
#include "hook/Registry.h"
#include "tests/support/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace mirelunde;

namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool KeyExists(HKEY root)
{
    RegKey key;
    return RegOpenKeyExA(root, kRunKey, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

bool ValueExists(HKEY root, const char* name)
{
    RegKey key;
    if (RegOpenKeyExA(root, kRunKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
    return RegQueryValueExA(key.get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::optional<std::string> Entry()
{
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), "Mirelunde", nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    std::string text(size, '\0');
    RegQueryValueExA(key.get(), "Mirelunde", nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size);
    text.resize(text.find('\0'));
    return text;
}

void SetValue(HKEY root, const char* name, DWORD type, const std::string& text)
{
    RegKey key;
    ASSERT_EQ(RegCreateKeyExA(root, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
}

class Login : public testing::Test {
protected:
    void SetUp() override { testing_support::RegistrySandbox::Clear(); }
};

TEST_F(Login, EnableWritesTheBareLauncherNameWithItsBlankAndTheOptionsUnchanged)
{
    struct Row {
        const char* options;
        const char* entry;
    };
    const Row rows[] = {
        {nullptr, "mirelunde.exe "},
        {"", "mirelunde.exe "},
        {"-2 --debug 3  -s off", "mirelunde.exe -2 --debug 3  -s off"},
    };
    for (const Row& row : rows) {
        RunAtLogin(true, row.options);
        EXPECT_EQ(Entry(), std::string(row.entry)) << (row.options ? row.options : "(null)");
        EXPECT_TRUE(IsRunAtLogin());
    }
}

TEST_F(Login, DisableDeletesTheEntryAndIgnoresTheOptions)
{
    RunAtLogin(true, "-i");
    ASSERT_TRUE(IsRunAtLogin());
    RunAtLogin(false, "-2");
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "Mirelunde"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER));
    EXPECT_FALSE(IsRunAtLogin());
}

TEST_F(Login, LegacyEntriesGoFromBothRootsWhetherEnablingOrDisabling)
{
    for (const bool enable : {true, false}) {
        SetValue(HKEY_CURRENT_USER, "brackwen", REG_SZ, "brackwen.exe");
        SetValue(HKEY_LOCAL_MACHINE, "brackwen", REG_DWORD, "1");
        SetValue(HKEY_LOCAL_MACHINE, "Other", REG_SZ, "other.exe");
        EXPECT_EQ(RunAtLogin(enable, nullptr), ERROR_SUCCESS);
        EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "brackwen")) << enable;
        EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, "brackwen")) << enable;
        EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, "Other")) << enable;
        EXPECT_EQ(ValueExists(HKEY_CURRENT_USER, "Mirelunde"), enable);
    }
}

TEST_F(Login, ResultIsTheMachineStepOnly)
{
    // No machine-wide Run key: its opening fails, although the user's entry was written.
    EXPECT_EQ(RunAtLogin(true, "-i"), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(IsRunAtLogin());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE)) << "the machine-wide key is never created";
    SetValue(HKEY_LOCAL_MACHINE, "Other", REG_SZ, "other.exe");
    EXPECT_EQ(RunAtLogin(false, nullptr), ERROR_SUCCESS);
}

TEST_F(Login, WithoutTheUsersRunKeyDisablingDeletesNothingAndTheLegacyStepStillRuns)
{
    SetValue(HKEY_LOCAL_MACHINE, "brackwen", REG_SZ, "brackwen.exe");
    EXPECT_EQ(RunAtLogin(false, "-i"), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER));
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, "brackwen"));
}

TEST_F(Login, OptionsThatDoNotFitAreNotWrittenCutShort)
{
    SetValue(HKEY_LOCAL_MACHINE, "Other", REG_SZ, "other.exe");
    const std::string longest(1009, 'o');
    EXPECT_EQ(RunAtLogin(true, longest.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(Entry(), "mirelunde.exe " + longest);

    RunAtLogin(true, "-i");
    SetValue(HKEY_CURRENT_USER, "brackwen", REG_SZ, "brackwen.exe");
    const std::string tooLong(1010, 'o');
    EXPECT_EQ(RunAtLogin(true, tooLong.c_str()), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(Entry(), std::string("mirelunde.exe -i")) << "the entry that was there stays";
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "brackwen"));
}

TEST_F(Login, OnlyTheFirstNineCharactersOfAShortEnoughStringCount)
{
    struct Row {
        const char* name;
        DWORD type;
        std::string entry;
        bool atLogin;
    };
    const Row rows[] = {
        {"capitals", REG_SZ, "MIRELUNDE.EXE", true},
        {"with options", REG_SZ, "mirelunde.exe -2 -i", true},
        {"other ending", REG_SZ, "mirelundeX", true},
        {"with a directory", REG_SZ, "C:\\Tools\\mirelunde.exe", false},
        {"shorter than nine", REG_SZ, "mirelund", false},
        {"expandable string", REG_EXPAND_SZ, "mirelunde.exe ", false},
        {"1,022 bytes", REG_SZ, "mirelunde.exe " + std::string(1021 - 14, 'o'), true},
        {"1,023 bytes", REG_SZ, "mirelunde.exe " + std::string(1022 - 14, 'o'), false},
    };
    EXPECT_FALSE(IsRunAtLogin()) << "no entry";
    for (const Row& row : rows) {
        SetValue(HKEY_CURRENT_USER, "Mirelunde", row.type, row.entry);
        EXPECT_EQ(IsRunAtLogin(), row.atLogin) << row.name;
    }
}

}  // namespace
