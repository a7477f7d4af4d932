// The login entry on redirected registry roots: writing, deleting, the legacy entries in both
// roots, the result, what counts as an entry that starts the launcher, and which launcher it names.
#include "commands/Login.h"
#include "hook/Exports.h"
#include "settings/Handles.h"
#include "settings/Registry.h"
#include "tests/support/Paths.h"
#include "tests/support/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

// The launcher beside this test executable, quoted, as the entry names it (the code under test is
// linked into the executable, so the executable's folder stands for the library's).
std::string QuotedLauncher()
{
    return "\"" + testing_support::BuiltFile("mirelunde.exe") + "\"";
}

class Login : public testing::Test {
protected:
    void SetUp() override { testing_support::RegistrySandbox::Clear(); }
};

TEST_F(Login, EnableWritesTheLaunchersQuotedFullPathAndTheOptionsUnchanged)
{
    struct Row {
        const char* options;
        std::string entry;
    };
    const Row rows[] = {
        {nullptr, QuotedLauncher()},
        {"", QuotedLauncher()},
        {"-2 --debug 3  -s off", QuotedLauncher() + " -2 --debug 3  -s off"},
    };
    for (const Row& row : rows) {
        RunAtLogin(true, row.options);
        EXPECT_EQ(Entry(), row.entry) << (row.options ? row.options : "(null)");
        EXPECT_TRUE(IsRunAtLogin());
    }
}

TEST_F(Login, AnEntryWithTheBareNameIsOursToReplaceOrRemoveAndOthersStay)
{
    SetValue(HKEY_CURRENT_USER, "Other", REG_SZ, "mirelunde.exe");
    for (const bool enable : {true, false}) {
        SetValue(HKEY_CURRENT_USER, "Mirelunde", REG_SZ, "mirelunde.exe -i");
        ASSERT_TRUE(IsRunAtLogin());
        RunAtLogin(enable, "-2");
        EXPECT_EQ(Entry(), enable ? std::optional(QuotedLauncher() + " -2") : std::nullopt);
        EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, "Other")) << enable;
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
    // The entry and its terminating zero fill the 1,024-byte buffer.
    const std::string longest(1024 - 1 - QuotedLauncher().size() - 1, 'o');
    EXPECT_EQ(RunAtLogin(true, longest.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(Entry(), QuotedLauncher() + " " + longest);

    RunAtLogin(true, "-i");
    SetValue(HKEY_CURRENT_USER, "brackwen", REG_SZ, "brackwen.exe");
    const std::string tooLong = longest + "o";
    EXPECT_EQ(RunAtLogin(true, tooLong.c_str()), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(Entry(), QuotedLauncher() + " -i") << "the entry that was there stays";
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "brackwen"));
}

// The program an entry starts (its quoted path, or its first word) must have a file name whose first
// nine characters are the launcher's name, and the whole value must be a short enough string.
TEST_F(Login, AnEntryStartsTheLauncherWhenItsProgramsNameBeginsWithTheLaunchers)
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
        {"with a directory", REG_SZ, "C:\\Tools\\mirelunde.exe", true},
        {"quoted path with options", REG_SZ, "\"C:\\Program Files\\Mirelunde\\Mirelunde.exe\" -2", true},
        {"quoted path of another program", REG_SZ, "\"C:\\Mirelunde\\other.exe\" mirelunde.exe", false},
        {"another program", REG_SZ, "other.exe mirelunde.exe", false},
        {"quoted short name", REG_SZ, "\"C:\\Mirelunde\\mirelund\"", false},
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

// Which launcher a library (or launcher) in each folder names: the 32-bit one in x86\ names the
// 64-bit launcher above it on 64-bit Windows, so a login starts both.
TEST(LoginLauncher, IsTheOneBesideTheModuleOrOnSixtyFourBitWindowsTheOneAboveAnX86Folder)
{
    const std::string root = testing_support::TempDirectory();
    const std::string lone = testing_support::TempDirectory();
    for (const std::string& folder : {root + "\\x86", root + "\\ax86", lone + "\\x86"})
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    const std::string above = root + "\\mirelunde.exe";
    ASSERT_TRUE(Handle(CreateFileA(above.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)));

    struct Row {
        const char* name;
        std::string module;
        bool thirtyTwoBitWindows;
        std::string launcher;
    };
    const bool is64 = sizeof(void*) == 8;
    const Row rows[] = {
        {"x86 folder under the 64-bit launcher", root + "\\x86\\Mirelunde.dll", false, above},
        {"any case", root + "\\X86\\Mirelunde.dll", false, above},
        {"another folder", root + "\\ax86\\Mirelunde.dll", false, root + "\\ax86\\mirelunde.exe"},
        {"the launcher's own folder", root + "\\Mirelunde.dll", false, above},
        {"no launcher above", lone + "\\x86\\Mirelunde.dll", false, lone + "\\x86\\mirelunde.exe"},
        // On 32-bit Windows the 64-bit launcher above cannot run; a 64-bit module means 64-bit Windows.
        {"32-bit Windows", root + "\\x86\\Mirelunde.dll", true, is64 ? above : root + "\\x86\\mirelunde.exe"},
    };
    const char* wow64 = std::getenv("PROCESSOR_ARCHITEW6432");
    const std::string architecture = wow64 != nullptr ? wow64 : "AMD64";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetEnvironmentVariableA("PROCESSOR_ARCHITEW6432", row.thirtyTwoBitWindows ? nullptr : architecture.c_str());
        char found[kLauncherPathSize];
        ASSERT_TRUE(LoginLauncherFor(row.module.c_str(), found));
        EXPECT_EQ(std::string(found), row.launcher);
    }
    SetEnvironmentVariableA("PROCESSOR_ARCHITEW6432", wow64);

    char found[kLauncherPathSize];
    EXPECT_FALSE(LoginLauncherFor(("C:\\" + std::string(kLauncherPathSize, 'd') + "\\Mirelunde.dll").c_str(), found));
}

}  // namespace
