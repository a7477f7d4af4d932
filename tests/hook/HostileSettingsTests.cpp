// Settings of the wrong type or size, and absurd values: attach and gestures keep to their
// defaults or a bounded result, and nothing overruns.
#include "actions/WindowTable.h"
#include "commands/Login.h"
#include "hook/Attach.h"
#include "hook/Exports.h"
#include "settings/Handles.h"
#include "settings/ProcessSettings.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/ChildMode.h"
#include "tests/support/Input.h"
#include "tests/support/Paths.h"
#include "tests/support/ProcessState.h"
#include "tests/support/TestWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace {

constexpr char kKey[] = "Software\\Pellamor\\Mirelunde";

void SetRaw(const char* key, const char* name, DWORD type, const std::vector<uint8_t>& data)
{
    RegKey opened;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(opened.get(), name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
}

std::vector<uint8_t> Text(size_t length, char fill)
{
    std::vector<uint8_t> text(length, static_cast<uint8_t>(fill));
    text.push_back(0);
    return text;
}

class HostileSettings : public testing::Test {
protected:
    void SetUp() override { ResetProcessState(); }
    void TearDown() override { ResetProcessState(); }
};

// Attach takes its values in one pass over the key, up to a bound: values beyond it, behind a
// crowd of others, are still read.
TEST_F(HostileSettings, ValuesBehindHundredsOfOthersAreStillRead)
{
    for (int i = 0; i < 300; ++i) SetRaw(kKey, ("crowd " + std::to_string(i)).c_str(), REG_DWORD, {1, 0, 0, 0});
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHWndHook, 0x10));
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHHook, 0x20));
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kTwoButtonMouse, 0));
    processSettings = ProcessSettings{};
    AttachProcess();
    EXPECT_EQ(processSettings.getMessageHook, reinterpret_cast<HHOOK>(static_cast<uintptr_t>(0x20)));
    EXPECT_FALSE(processSettings.twoButtonMouse);
    EXPECT_TRUE(processSettings.addToSystemMenu) << "absent: the default";
}

TEST_F(HostileSettings, HandlesOfTheWrongTypeCountAsAbsent)
{
    SetRaw(kKey, names::kHWndHook, REG_SZ, Text(3, '7'));
    SetRaw(kKey, names::kHHook, REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8});
    processSettings = ProcessSettings{};
    AttachProcess();
    EXPECT_EQ(processSettings.callWndProcHook, nullptr);
    EXPECT_EQ(processSettings.getMessageHook, nullptr);
    EXPECT_TRUE(processSettings.hooksActive);
}

TEST_F(HostileSettings, AttachKeepsDefaultsOrBoundedValues)
{
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHWndHook, 1));
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHHook, 2));
    SetRaw(kKey, names::kTwoButtonMouse, REG_SZ, Text(1, '0'));
    SetRaw(kKey, names::kAddToSystemMenu, REG_MULTI_SZ, Text(10000, 'm'));
    SetRaw(kKey, names::kSoleProcess, REG_SZ, Text(10000, 'x'));
    SetRaw(names::kRunKey, names::kRunEntry, REG_SZ, Text(100 * 1024, 'M'));
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kDebugLevel, 0xFFFFFFFF));
    processSettings = ProcessSettings{};
    AttachProcess();

    EXPECT_TRUE(processSettings.twoButtonMouse) << "a text counts as absent: the default";
    EXPECT_TRUE(processSettings.addToSystemMenu);
    EXPECT_TRUE(processSettings.hooksActive) << "a filter too long to read is no filter";
    EXPECT_FALSE(IsRunAtLogin()) << "a 100 KB entry is not read";
    EXPECT_EQ(processSettings.debugLevel, 0xFFFFFFFFu);
    ASSERT_TRUE(processSettings.modulesKeyPath);
    DetachProcess();
    EXPECT_FALSE(processSettings.modulesKeyPath);
}

// Each DWORD setting the attach pass reads, stored as a text (as `reg add` writes without /t), as
// binary data or as a two-byte value, holding what would turn its default round if taken byte for
// byte, counts as absent; the settings read at the moment of use go through the store's own reader,
// whose table is SettingsStore.DwordReadsTakeOnlyFourByteDwordsAndOtherwiseKeepThePreset.
TEST_F(HostileSettings, DwordSettingsOfAnotherTypeOrSizeKeepTheirDefaults)
{
    struct Setting {
        const char* name;
        bool whenAbsent;
        bool (*atAttach)();
    };
    const Setting settings[] = {
        {names::kDebugLevel, false, [] { return processSettings.debugLevel != 0; }},
        {names::kDebugProcessDetach, false, [] { return processSettings.detachBox; }},
        {names::kTwoButtonMouse, true, [] { return static_cast<bool>(processSettings.twoButtonMouse); }},
        {names::kAddToSystemMenu, true, [] { return static_cast<bool>(processSettings.addToSystemMenu); }}};
    for (const Setting& setting : settings)
        for (const DWORD type : {REG_SZ, REG_BINARY, REG_DWORD}) {
            SCOPED_TRACE(std::string(setting.name) + ", type " + std::to_string(type));
            ResetProcessState();
            ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHWndHook, 1));
            ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHHook, 2));
            const uint8_t turned = setting.whenAbsent ? 0 : '0';
            SetRaw(kKey, setting.name, type,
                   type == REG_BINARY ? std::vector<uint8_t>{turned, 0, 0, 0} : Text(1, turned));
            processSettings = ProcessSettings{};
            AttachProcess();
            EXPECT_EQ(setting.atAttach(), setting.whenAbsent);
        }
}

TEST_F(HostileSettings, WindowTraceKeyThatDoesNotFitIsNotWritten)
{
    processSettings.modulesKeyPath = std::string(kKey) + "\\Modules\\" + std::string(1100, 'p');
    const HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
    EXPECT_FALSE(WriteWindowString(window, "LastAction", "Shade"));
    WriteWindowDword(window, "si.dwStyle", 1);
    RegKey modules;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kKey) + "\\Modules").c_str(), 0, KEY_READ, modules.put()),
              ERROR_SUCCESS);
}

// Gives the settings key an access list that grants nothing (an empty one) or everything (none).
void SetKeyAccess(bool open)
{
    RegKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, WRITE_DAC, key.put()), ERROR_SUCCESS);
    SECURITY_DESCRIPTOR descriptor{};
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ACL empty{};
    ASSERT_TRUE(InitializeAcl(&empty, sizeof empty, ACL_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, open ? nullptr : &empty, FALSE));
    ASSERT_EQ(RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, &descriptor), ERROR_SUCCESS);
}

// The settings key with an access list that grants nobody anything: reads fail as if the values
// were absent.
TEST_F(HostileSettings, SettingsKeyTheUserCannotOpenReadsAsAbsent)
{
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHWndHook, 1));
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHHook, 2));
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kRightClickShades, 0));
    SetKeyAccess(false);
    struct Reopen {
        ~Reopen() { SetKeyAccess(true); }
    } reopen;
    RegKey probe;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, probe.put()) == ERROR_SUCCESS)
        GTEST_SKIP() << "this system lets the owner read a key whose access list grants nothing";

    processSettings = ProcessSettings{};
    AttachProcess();
    EXPECT_EQ(processSettings.getMessageHook, nullptr);
    EXPECT_TRUE(processSettings.hooksActive);
    EXPECT_TRUE(SettingOn(names::kRightClickShades, true)) << "the stored 0 cannot be read: the default";
    DetachProcess();
}

TEST_F(HostileSettings, GestureSettingsOfTheWrongSizeKeepTheirDefaults)
{
    SetRaw(kKey, names::kInvertDoubleClicks, REG_BINARY, {1, 1, 1, 1, 1, 1, 1, 1});
    SetRaw(kKey, names::kEnableKeyboard, REG_MULTI_SZ, Text(5000, 'k'));
    const HWND window = MakeWindow(WS_OVERLAPPEDWINDOW);
    MSG click{window, WM_NCLBUTTONDBLCLK, HTCAPTION, 0, 0, {600, 400}};
    BrackwenGetMsgProc(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(click.message, static_cast<UINT>(WM_NULL));
    EXPECT_TRUE(windowTable.IsShaded(window)) << "too long to be a flag: not inverted";

    testing_support::SetKeyState(VK_MENU, true);
    const std::pair<UINT, WPARAM> altKeypad0[] = {
        {WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, VK_NUMPAD0}, {WM_SYSKEYUP, VK_NUMPAD0}, {WM_KEYUP, VK_MENU}};
    for (const auto& [message, vk] : altKeypad0) {
        MSG key{window, message, vk, 1 << 29, 0, {600, 400}};
        BrackwenGetMsgProc(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&key));
    }
    testing_support::SetKeyState(VK_MENU, false);
    EXPECT_FALSE(windowTable.IsShaded(window)) << "the keyboard stays on by default";
    DestroyWindow(window);
}

}  // namespace

namespace {

// Run from a copy of this executable whose path is as long as the platform allows: the path is
// read whole, compared whole by the sole-process filter, and traced whole, or the trace is left
// out when its key name would not fit.
int AttachAtPathLimit(const std::vector<std::string>&)
{
    char own[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, own, sizeof own);
    std::string upper(own, length);
    CharUpperBuffA(upper.data(), length);
    ResetProcessState();
    WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHWndHook, 0x10);
    WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHHook, 0x20);
    WriteRegDword(HKEY_CURRENT_USER, kKey, names::kDebugLevel, 1);
    WriteRegString(HKEY_CURRENT_USER, kKey, names::kSoleProcess, upper.c_str());
    AttachProcess();
    int faults = 0;
    if (processSettings.exePath != std::string(own, length)) faults |= 1;
    if (!processSettings.hooksActive) faults |= 2;
    char traced[MAX_PATH + 1] = {};
    if (processSettings.modulesKeyPath && (!ReadRegString(HKEY_CURRENT_USER, processSettings.modulesKeyPath->c_str(),
                                                          names::kPath, traced, sizeof traced) ||
                                           processSettings.exePath != traced))
        faults |= 4;
    DetachProcess();
    return faults;
}
MIRELUNDE_CHILD_MODE("attach-at-path-limit", AttachAtPathLimit);

// A copy of this executable at a path of exactly MAX_PATH - 1 characters, with a file name of the
// given length; its exit code from the attach above.
int RunCopyAtPathLimit(size_t nameLength)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    std::string directory = std::string(temp) + "mirelunde-limit-" + std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryA(directory.c_str(), nullptr)) return -2;
    std::vector<std::string> made{directory};
    const size_t target = MAX_PATH - 1;
    // Folders of 60 characters until what is left is about the name's length.
    while (directory.size() + 1 + nameLength + 60 < target) {
        directory += "\\" + std::string(60, 'd');
        if (!CreateDirectoryA(directory.c_str(), nullptr)) return -2;
        made.push_back(directory);
    }
    const size_t nameRoom = target - directory.size() - 1;
    const std::string copy = directory + "\\" + std::string(nameRoom - 4, 'x') + ".exe";
    if (copy.size() != target || !CopyFileA(OwnExecutable().c_str(), copy.c_str(), FALSE)) return -3;
    std::string commandLine = "\"" + copy + "\" --child attach-at-path-limit";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    int code = -4;
    if (CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        code = WaitForExit(process.hProcess, 60000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    DeleteFileA(copy.c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryA(it->c_str());
    return code;
}

TEST(HostileSettingsPath, ExecutablePathAtThePlatformsLimitIsReadComparedAndTracedWhole)
{
    EXPECT_EQ(RunCopyAtPathLimit(12), 0) << "a short name in deep folders";
    EXPECT_EQ(RunCopyAtPathLimit(MAX_PATH), 0) << "a name as long as the path allows";
}

}  // namespace
