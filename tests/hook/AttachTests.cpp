// What attach reads into the process and what detach leaves behind, called directly in the test process.
#include "hook/Attach.h"
#include "settings/Handles.h"
#include "settings/ProcessSettings.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/ModalBox.h"
#include "tests/support/Paths.h"
#include "tests/support/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>

using namespace mirelunde;

namespace {

constexpr char kKey[] = "Software\\Pellamor\\Mirelunde";

void SetDword(const char* name, DWORD value)
{
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, name, value));
}

void SetString(const char* key, const char* name, const std::string& value)
{
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, key, name, value.c_str()));
}

bool KeyExists(const std::string& path)
{
    RegKey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

HHOOK AsHook(uintptr_t value)
{
    return reinterpret_cast<HHOOK>(value);
}

std::string ProcessKey()
{
    std::string name = testing_support::OwnExecutable();
    name = name.substr(name.find_last_of("\\/") + 1);
    name.resize(name.find_last_of('.'));
    return std::string(kKey) + "\\Modules\\" + name + " (" + std::to_string(GetCurrentProcessId()) + ")";
}

class Attach : public testing::Test {
protected:
    void SetUp() override
    {
        testing_support::RegistrySandbox::Clear();
        processSettings = ProcessSettings{};
    }
    void TearDown() override { processSettings = ProcessSettings{}; }

    void WithHooks()
    {
        SetDword(names::kHWndHook, 0x2222);
        SetDword(names::kHHook, 0x1111);
    }
};

// A process that arrives between the launcher's two hooks runs them without either handle.
TEST_F(Attach, WithoutCallWndProcHandleOnlyThePathIsRead)
{
    SetDword(names::kHHook, 0x1111);
    SetDword(names::kDebugLevel, 1);
    AttachProcess();

    EXPECT_EQ(processSettings.exePath, testing_support::OwnExecutable());
    EXPECT_EQ(processSettings.callWndProcHook, nullptr);
    EXPECT_EQ(processSettings.getMessageHook, nullptr);
    EXPECT_EQ(processSettings.debugLevel, 0u);
    EXPECT_FALSE(processSettings.twoButtonMouse);
    EXPECT_TRUE(processSettings.hooksActive);
    EXPECT_FALSE(KeyExists(std::string(kKey) + "\\Modules"));
}

TEST_F(Attach, WithoutGetMessageHandleTheCallWndProcHandleIsKept)
{
    SetDword(names::kHWndHook, 0x2222);
    AttachProcess();
    EXPECT_EQ(processSettings.callWndProcHook, AsHook(0x2222));
    EXPECT_EQ(processSettings.getMessageHook, nullptr);
}

// The caption metrics wait for their first use; hooks stopped or not, they are there when asked for.
TEST_F(Attach, StoppedHooksStillReadTheSettingsAndMetrics)
{
    SetDword(names::kHWndHook, 0x2222);
    SetDword(names::kHHook, 0);
    SetDword(names::kDebugLevel, 0xFFFFFFFF);
    AttachProcess();

    EXPECT_EQ(processSettings.getMessageHook, nullptr);
    EXPECT_TRUE(processSettings.arrivalDue) << "brought by a hook left behind: waits for the next launcher's";
    EXPECT_EQ(processSettings.debugLevel, 0xFFFFFFFFu);
    EXPECT_EQ(processSettings.shadedHeight, 0) << "read as the process starts";
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const int frame = GetSystemMetrics(SM_CYDLGFRAME);
    EXPECT_EQ(ShadedHeight(), caption + 2 * frame);
    EXPECT_EQ(CornerSize(), caption + frame);
    DetachProcess();
}

TEST_F(Attach, TwoButtonAndSystemMenuDefaultToOn)
{
    struct Case {
        const char* label;
        int stored;  // -1 absent, -2 stored as text
        bool expected;
    } const cases[] = {{"absent", -1, true}, {"zero", 0, false}, {"one", 1, true}, {"text", -2, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SetUp();
        WithHooks();
        for (const char* name : {names::kTwoButtonMouse, names::kAddToSystemMenu}) {
            if (c.stored >= 0) SetDword(name, static_cast<DWORD>(c.stored));
            if (c.stored == -2) SetString(kKey, name, "1");
        }
        AttachProcess();
        EXPECT_EQ(processSettings.twoButtonMouse, c.expected);
        EXPECT_EQ(processSettings.addToSystemMenu, c.expected);
    }
}

TEST_F(Attach, SoleProcessFilterComparesPathsIgnoringCase)
{
    std::string upper = testing_support::OwnExecutable();
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    struct Case {
        const char* label;
        std::string sole;
        bool active;
    } const cases[] = {
        {"same path in capitals", upper, true},
        {"another program", "C:\\windows\\notepad.exe", false},
        {"empty", "", true},
        {"too long to read", std::string(300, 'x'), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SetUp();
        WithHooks();
        SetString(kKey, names::kSoleProcess, c.sole);
        AttachProcess();
        EXPECT_EQ(processSettings.hooksActive, c.active);
        EXPECT_TRUE(processSettings.twoButtonMouse) << "the filter changes nothing else";
    }
}

TEST_F(Attach, ListedProgramIsLeftAloneOrKeptOnTopFromTheStart)
{
    const std::string exe = testing_support::OwnExecutable();
    const std::string name = exe.substr(exe.find_last_of("\\/") + 1);
    struct Case {
        const char* label;
        std::string list;  // stored as it stands, a zero byte included
        bool withHooks;
        bool active;
        std::string keptOnTop = "game.exe";  // the list of programs kept on top
        bool kept = false;
    } const cases[] = {
        {"its file name", "game.exe;" + name, true, false},
        {"its file name, no hook handles yet", name, false, false},
        {"another program", "game.exe", true, true},
        {"its name behind a zero byte", std::string("game.exe\0", 9) + name, true, true},
        {"its name in a list too long to read", std::string(400, 'x') + ";" + name, true, true},
        {"kept on top", "game.exe", true, true, "paint.exe;" + name, true},
        {"kept on top, no hook handles yet", "", false, true, name, true},
        {"on both lists", name, true, false, name, false},
        {"kept on top in a list too long to read", "", true, true, std::string(400, 'x') + ";" + name, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SetUp();
        if (c.withHooks) WithHooks();
        RegKey key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        for (const auto& [value, list] :
             {std::pair{names::kExcludedPrograms, &c.list}, std::pair{names::kProgramsKeptOnTop, &c.keptOnTop}})
            ASSERT_EQ(RegSetValueExA(key.get(), value, 0, REG_SZ, reinterpret_cast<const BYTE*>(list->data()),
                                     static_cast<DWORD>(list->size() + 1)),
                      ERROR_SUCCESS);
        AttachProcess();
        EXPECT_EQ(processSettings.hooksActive, c.active);
        EXPECT_EQ(processSettings.keepOnTop, c.kept);
        EXPECT_EQ(processSettings.getMessageHook, c.withHooks ? AsHook(0x1111) : nullptr) << "read as usual";
    }
}

TEST_F(Attach, InTheLaunchersOwnProcessTheHooksOnlyPassMessagesOn)
{
    ASSERT_TRUE(SetEnvironmentVariableA(names::kLauncherMarker, "1"));
    AttachProcess();  // its first start: no handles published yet
    EXPECT_FALSE(processSettings.hooksActive);

    processSettings = ProcessSettings{};
    WithHooks();
    AttachProcess();
    SetEnvironmentVariableA(names::kLauncherMarker, nullptr);
    EXPECT_FALSE(processSettings.hooksActive);
    EXPECT_EQ(processSettings.getMessageHook, AsHook(0x1111)) << "everything else is read as usual";

    processSettings = ProcessSettings{};
    AttachProcess();
    EXPECT_TRUE(processSettings.hooksActive);
}

TEST_F(Attach, TraceKeyLivesFromAttachToDetachWithEverythingBelowIt)
{
    WithHooks();
    SetDword(names::kDebugLevel, 1);
    AttachProcess();

    ASSERT_TRUE(processSettings.modulesKeyPath);
    EXPECT_EQ(*processSettings.modulesKeyPath, ProcessKey());
    char path[MAX_PATH];
    ASSERT_TRUE(ReadRegString(HKEY_CURRENT_USER, ProcessKey().c_str(), names::kPath, path, sizeof path));
    EXPECT_EQ(std::string(path), testing_support::OwnExecutable());
    ASSERT_TRUE(WriteWindowString(GetDesktopWindow(), "LastAction", "Shade"));

    DetachProcess();
    EXPECT_FALSE(KeyExists(ProcessKey()));
    EXPECT_TRUE(KeyExists(std::string(kKey) + "\\Modules"));
    EXPECT_FALSE(processSettings.modulesKeyPath);
}

TEST_F(Attach, WithoutDebugLevelNoTraceKeyIsMade)
{
    WithHooks();
    AttachProcess();
    EXPECT_FALSE(processSettings.modulesKeyPath);
    EXPECT_FALSE(KeyExists(std::string(kKey) + "\\Modules"));
    DetachProcess();
}

TEST_F(Attach, DetachShowsTheProcessDetachBoxWhenAsked)
{
    WithHooks();
    SetDword(names::kDebugProcessDetach, 1);
    AttachProcess();

    testing_support::BoxAnswerer answerer(GetCurrentProcessId(), IDOK);
    DetachProcess();
    const auto box = answerer.Result();
    ASSERT_TRUE(box) << "no box was shown";
    EXPECT_EQ(box->caption, "Mirelunde");
    EXPECT_EQ(box->text, testing_support::OwnExecutable() + " : process detach");
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    EXPECT_EQ(box->owner, nullptr);
}

}  // namespace
