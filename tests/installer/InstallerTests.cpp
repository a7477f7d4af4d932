// The installer as a user and a package manager run it, silently, in a Wine prefix of its own
// (in-own-prefix.sh): install, an upgrade while notepad still has the old library mapped, and the
// uninstall, in this order in one session; then what is left for the next session.
// MIRELUNDE_INSTALLER and MIRELUNDE_UPGRADE_INSTALLER name the two installers.
#include "settings/Registry.h"
#include "tests/e2e/Session.h"
#include "tests/support/Input.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace e2e {
namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mirelunde";
constexpr char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr DWORD kInstallMs = 120000;
constexpr DWORD kActionMs = 5000;

std::unique_ptr<Process> heldNotepad;  // keeps the first version's library mapped through the upgrade

std::filesystem::path Folder(int csidl, const char* below)
{
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return std::filesystem::path(path) / below;
}
const auto InstallFolder = [] { return Folder(CSIDL_LOCAL_APPDATA, "Programs\\Mirelunde"); };
const auto StartMenuEntry = [] { return Folder(CSIDL_PROGRAMS, "Mirelunde.lnk"); };

std::string Read(const char* key, const char* name)
{
    char value[MAX_PATH * 4] = {};
    return ReadRegString(HKEY_CURRENT_USER, key, name, value, sizeof value) ? value : "";
}
std::string Registered(const char* name)
{
    return Read(kUninstallKey, name);
}

// The launcher the installer starts; under Wine it starts no 32-bit companion.
bool LauncherRunning()
{
    return static_cast<bool>(Handle(OpenMutexA(SYNCHRONIZE, FALSE, "Local\\Mirelunde.Launcher")));
}

void RunSilently(const char* installerVariable, const std::string& switches)
{
    const char* installer = std::getenv(installerVariable);
    ASSERT_NE(installer, nullptr) << installerVariable;
    auto setup = Start("\"" + std::string(installer) + "\" /S " + switches);
    ASSERT_TRUE(setup) << installer << ": error " << GetLastError();
    EXPECT_EQ(setup->WaitForExit(kInstallMs), 0) << setup->Errors();
    EXPECT_TRUE(WaitUntil([] { return LauncherRunning() && ReadDword("HHook", 0) != 0; }, kStartMs));
}

// The file version of the library that the process has loaded, read from its memory: the path
// names the new file once the old one has been moved aside.
std::string LoadedLibraryVersion(DWORD processId)
{
    Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    bool found = snapshot && Module32First(snapshot.get(), &module);
    while (found && lstrcmpiA(module.szModule, "Mirelunde.dll") != 0) found = Module32Next(snapshot.get(), &module);
    std::vector<DWORD> image(found ? module.modBaseSize / sizeof(DWORD) : 0);
    Handle process(OpenProcess(PROCESS_VM_READ, FALSE, processId));
    SIZE_T read = 0;
    ReadProcessMemory(process.get(), module.modBaseAddr, image.data(), image.size() * sizeof(DWORD), &read);
    // The fixed part of the version record follows its signature: the file version in two DWORDs.
    const auto signature = std::find(image.begin(), image.end(), 0xFEEF04BD);
    if (image.end() - signature < 4) return "none";
    const DWORD high = signature[2], low = signature[3];
    return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." + std::to_string(HIWORD(low)) + "." +
           std::to_string(LOWORD(low));
}

std::unique_ptr<Process> OpenNotepad(HWND& window)
{
    auto notepad = Start(NotepadPath());
    window = notepad ? WaitForWindow(notepad->id) : nullptr;
    if (window) {
        SetWindowPos(window, nullptr, 40, 60, 600, 400, SWP_NOZORDER);
        SetForegroundWindow(window);
    }
    return notepad;
}

void ExpectShadesAndUnshades(HWND window)
{
    ASSERT_NE(window, nullptr);
    const int height = Height(window);
    for (const int expected : {ShadedHeight(), height}) {
        Click(CaptionPoint(window), Button::Left, 2);
        EXPECT_TRUE(WaitUntil([&] { return Height(window) == expected; }, kActionMs)) << Height(window);
    }
}

TEST(Installer, SilentInstallPutsFilesStartMenuEntryAndRegistrationInPlaceAndStartsTheLauncher)
{
    ASSERT_FALSE(std::filesystem::exists(InstallFolder())) << "the prefix is not a fresh one";
    RunSilently("MIRELUNDE_INSTALLER", "/LOGIN");

    const std::filesystem::path folder = InstallFolder();
    for (const char* file : {"mirelunde.exe", "Mirelunde.dll", "x86\\mirelunde.exe", "x86\\Mirelunde.dll", "GUIDE.txt",
                             "LICENSE", "uninstall.exe"})
        EXPECT_TRUE(std::filesystem::is_regular_file(folder / file)) << file;
    EXPECT_TRUE(std::filesystem::is_regular_file(StartMenuEntry()));
    const std::string launcher = (folder / "mirelunde.exe").string();
    EXPECT_EQ(RunEntry(), "\"" + launcher + "\"");
    EXPECT_EQ(Registered("DisplayName"), "Mirelunde");
    EXPECT_EQ(Registered("Publisher"), "Pellamor");
    EXPECT_EQ(Registered("DisplayIcon"), launcher + ",0");
    EXPECT_EQ(Registered("QuietUninstallString"), "\"" + (folder / "uninstall.exe").string() + "\" /S");

    HWND window = nullptr;
    heldNotepad = OpenNotepad(window);
    ASSERT_TRUE(heldNotepad);
    ExpectShadesAndUnshades(window);
    EXPECT_EQ(LoadedLibraryVersion(heldNotepad->id), Registered("DisplayVersion"));
}

TEST(Installer, UpgradeWhileNotepadHoldsTheOldLibraryKeepsNotepadWorkingAndGivesNewProgramsTheNewOne)
{
    ASSERT_TRUE(heldNotepad);
    const std::string oldVersion = Registered("DisplayVersion");
    RunSilently("MIRELUNDE_UPGRADE_INSTALLER", "");
    const std::string newVersion = Registered("DisplayVersion");
    EXPECT_NE(newVersion, oldVersion);
    EXPECT_TRUE(std::filesystem::exists(InstallFolder() / "Mirelunde.dll.1.moved"));

    // The new launcher's hooks reach notepad's old library at the new library's offsets.
    ExpectShadesAndUnshades(WaitForWindow(heldNotepad->id));
    EXPECT_EQ(LoadedLibraryVersion(heldNotepad->id), oldVersion);
    HWND window = nullptr;
    const auto newNotepad = OpenNotepad(window);
    ASSERT_TRUE(newNotepad);
    ExpectShadesAndUnshades(window);
    EXPECT_EQ(LoadedLibraryVersion(newNotepad->id), newVersion);
}

TEST(Installer, SilentUninstallRemovesFilesEntriesAndRegistrationAndKeepsTheSettings)
{
    heldNotepad.reset();
    auto uninstall = Start(Registered("QuietUninstallString"));
    ASSERT_TRUE(uninstall);
    // The uninstaller runs a copy of itself from the temporary folder and returns at once.
    ASSERT_TRUE(WaitUntil([] { return Registered("DisplayName").empty(); }, kInstallMs));

    EXPECT_FALSE(LauncherRunning());
    EXPECT_EQ(RunEntry(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(StartMenuEntry()));
    EXPECT_NE(ReadDword("HHook", 1), 1u) << "settings removed";
    // Only copies that running programs (under Wine, its own explorer) still have mapped are left,
    // and the next login removes them.
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(InstallFolder(), ignored)) {
        if (entry.is_regular_file()) {
            EXPECT_EQ(entry.path().extension(), ".moved") << entry.path();
        }
    }
    EXPECT_EQ(Read(kRunOnceKey, "Mirelunde").empty(), !std::filesystem::exists(InstallFolder()));
}

// Every program of the session has ended; the login runs the user's RunOnce entry and deletes it.
TEST(NextSession, LeavesNothingOfTheInstallationAfterTheLoginRunsItsEntry)
{
    if (const std::string command = Read(kRunOnceKey, "Mirelunde"); !command.empty()) {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunOnceKey, "Mirelunde");
        auto cleanup = Start(command);
        ASSERT_TRUE(cleanup);
        // Its exit code is cmd's last command's: one of its folders may have had nothing left to
        // delete (under Wine 10, which maps no 32-bit library, x86 is gone already).
        EXPECT_NE(cleanup->WaitForExit(kStartMs), -1) << cleanup->Errors();
    }
    EXPECT_FALSE(std::filesystem::exists(InstallFolder()));
}

}  // namespace
}  // namespace e2e
