// The settings store against the real (redirected) registry.
#include "settings/Handles.h"
#include "settings/ProcessSettings.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace mirelunde;

namespace {

constexpr char kKey[] = "Software\\Pellamor\\Mirelunde";

void SetRaw(const char* name, DWORD type, const void* data, DWORD size)
{
    RegKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

bool KeyExists(const std::string& path)
{
    RegKey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

class SettingsStore : public testing::Test {
protected:
    void SetUp() override { testing_support::RegistrySandbox::Clear(); }
    void TearDown() override { processSettings = ProcessSettings{}; }
};

TEST_F(SettingsStore, StoredZeroDwordIsASuccess)
{
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, "HHook", 0));
    DWORD value = 0xDEADBEEF;
    EXPECT_TRUE(ReadRegDword(HKEY_CURRENT_USER, kKey, "HHook", value));
    EXPECT_EQ(value, 0u);
}

struct DwordCase {
    const char* label;
    DWORD type;
    std::vector<uint8_t> data;
    bool expectedResult;
    DWORD expectedValue;
};

TEST_F(SettingsStore, DwordReadsTakeOnlyFourByteDwordsAndOtherwiseKeepThePreset)
{
    constexpr DWORD preset = 0xAABBCCDD;
    const DwordCase cases[] = {
        {"dword", REG_DWORD, {7, 0, 0, 0}, true, 7},
        {"dword without data", REG_DWORD, {}, false, preset},
        {"two-byte dword", REG_DWORD, {7, 0}, false, preset},
        {"short string", REG_SZ, {'a', 0}, false, preset},
        {"four binary bytes", REG_BINARY, {1, 2, 3, 4}, false, preset},
        {"eight binary bytes keep the preset", REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}, false, preset},
        {"long string keeps the preset", REG_SZ, {'l', 'o', 'n', 'g', 'e', 'r', 0}, false, preset},
    };
    for (const DwordCase& c : cases) {
        SCOPED_TRACE(c.label);
        SetRaw("value", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        DWORD value = preset;
        EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, kKey, "value", value), c.expectedResult);
        EXPECT_EQ(value, c.expectedValue);
    }
}

TEST_F(SettingsStore, MissingKeyOrValueLeavesThePreset)
{
    DWORD value = 42;
    EXPECT_FALSE(ReadRegDword(HKEY_CURRENT_USER, kKey, "absent", value));
    EXPECT_EQ(value, 42u);
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, "other", 1));
    EXPECT_FALSE(ReadRegDword(HKEY_CURRENT_USER, kKey, "absent", value));
    EXPECT_EQ(value, 42u);
}

TEST_F(SettingsStore, StringReadsFollowTheLengthRuleAndAlwaysTerminate)
{
    constexpr unsigned size = 260;
    const std::string fits(size - 2, 'f');     // 259 bytes with its terminator
    const std::string tooLong(size - 1, 't');  // 260 bytes: must not fit a 260-byte buffer
    struct Case {
        const char* label;
        DWORD type;
        std::string stored;
        bool storeTerminator;
        bool expectedResult;
        std::string expected;
    } const cases[] = {
        {"plain", REG_SZ, "C:\\Windows\\notepad.exe", true, true, "C:\\Windows\\notepad.exe"},
        {"longest that fits", REG_SZ, fits, true, true, fits},
        {"one byte too long", REG_SZ, tooLong, true, false, ""},
        {"expandable string", REG_EXPAND_SZ, "%WINDIR%\\notepad.exe", true, false, ""},
        {"stored without terminator", REG_SZ, "abc", false, true, "abc"},
        {"empty", REG_SZ, "", true, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SetRaw("text", c.type, c.stored.c_str(), static_cast<DWORD>(c.stored.size() + (c.storeTerminator ? 1 : 0)));
        std::vector<char> buffer(size + 16, 'x');
        EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "text", buffer.data(), size), c.expectedResult);
        EXPECT_EQ(std::string(buffer.data()), c.expected);
        EXPECT_EQ(std::string(buffer.data() + size, 16), std::string(16, 'x')) << "wrote past the buffer";
    }
}

TEST_F(SettingsStore, MissingStringLeavesAnEmptyBuffer)
{
    char buffer[16] = "leftover";
    EXPECT_FALSE(ReadRegString(HKEY_CURRENT_USER, kKey, "absent", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");
}

TEST_F(SettingsStore, WritesCreateMissingKeysAndStoreTheTerminator)
{
    const std::string deep = std::string(kKey) + "\\One\\Two";
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, deep.c_str(), "text", "Shade"));
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, deep.c_str(), "number", 5));

    RegKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, deep.c_str(), 0, KEY_QUERY_VALUE, key.put()), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(key.get(), "text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 6u);
    DWORD number = 0;
    EXPECT_TRUE(ReadRegDword(HKEY_CURRENT_USER, deep.c_str(), "number", number));
    EXPECT_EQ(number, 5u);
}

TEST_F(SettingsStore, WindowTraceNeedsAModulesKey)
{
    const HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1A2B));
    EXPECT_FALSE(WriteWindowString(window, "LastAction", "Shade"));
    WriteWindowDword(window, "si.dwStyle", 1);
    EXPECT_FALSE(KeyExists(std::string(kKey) + "\\Modules"));
}

TEST_F(SettingsStore, WindowTraceKeysNameTheHandleInLowerCaseHex)
{
    const std::string process = std::string(kKey) + "\\Modules\\tests (12)";
    processSettings.modulesKeyPath = process;
    const HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x00A0BC));
    ASSERT_TRUE(WriteWindowString(window, "LastAction", "Shade"));
    WriteWindowDword(window, "si.dwStyle", 0x14CF0000);

    const std::string windowKey = process + "\\hwnd 0xa0bc";
    char text[16];
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, windowKey.c_str(), "LastAction", text, sizeof text));
    EXPECT_STREQ(text, "Shade");
    DWORD style = 0;
    EXPECT_TRUE(ReadRegDword(HKEY_CURRENT_USER, windowKey.c_str(), "si.dwStyle", style));
    EXPECT_EQ(style, 0x14CF0000u);
}

TEST_F(SettingsStore, DeletingATreeRemovesEveryLevelAndSparesSiblings)
{
    const std::string modules = std::string(kKey) + "\\Modules";
    for (const char* path : {"\\app (1)\\hwnd 0x10", "\\app (1)\\hwnd 0x20\\deeper\\deepest", "\\app (1)\\hwnd 0x30",
                             "\\other (2)\\hwnd 0x40"})
        ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, (modules + path).c_str(), "v", 1));

    DeleteRegTree(HKEY_CURRENT_USER, modules.c_str(), "app (1)");
    EXPECT_FALSE(KeyExists(modules + "\\app (1)"));
    EXPECT_TRUE(KeyExists(modules + "\\other (2)\\hwnd 0x40"));

    DeleteRegTree(HKEY_CURRENT_USER, modules.c_str(), "app (1)");
    DeleteRegTree(HKEY_CURRENT_USER, (modules + "\\missing").c_str(), "app (1)");
    EXPECT_TRUE(KeyExists(modules));
}

}  // namespace
