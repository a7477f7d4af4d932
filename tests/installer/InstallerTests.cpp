// The installer as a user and a package manager run it, silently, in a Wine prefix of its own
// (in-own-prefix.sh): install into a folder of a long name, an upgrade while notepad still has the old
// library mapped, a launcher that does not stop, and the uninstall, in this order in one session; then
// what is left for the next session. Then installs into folders named in other scripts, the install
// for all users and its uninstall, and the first page of an installer run as a person runs it.
// MIRELUNDE_INSTALLER and MIRELUNDE_UPGRADE_INSTALLER name the two installers.
#include "settings/Registry.h"
#include "settings/Text.h"
#include "tests/e2e/Session.h"
#include "tests/support/Input.h"
#include "tests/support/ModalBox.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace e2e {
namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mirelunde";
constexpr char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
// The longest command line Windows documents for a Run or RunOnce entry.
constexpr size_t kLongestRunCommand = 260;
constexpr DWORD kInstallMs = 120000;
constexpr DWORD kActionMs = 5000;
constexpr DWORD kStuckMs = 40000;  // the installer's own wait for a launcher to stop, and more

std::unique_ptr<Process> heldNotepad;  // keeps the first version's library mapped through the upgrade

std::filesystem::path Folder(int csidl, const char* below)
{
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return std::filesystem::path(path) / below;
}
// A folder of a long name, about 210 characters, that still leaves room for "x86\\Mirelunde.dll.<n>.moved"
// within MAX_PATH.
const auto InstallFolder = [] {
    const std::filesystem::path programs = Folder(CSIDL_LOCAL_APPDATA, "Programs");
    return programs / ("Mirelunde " + std::string(200 - programs.string().size(), 'x'));
};
// In UTF-8, for a folder named in any script.
std::string FolderInAnyScript(int csidl, const char* below)
{
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return Utf8(path) + "\\" + below;
}
const auto StartMenuEntry = [] { return Folder(CSIDL_PROGRAMS, "Mirelunde.lnk"); };

std::string Read(const char* key, const char* name, HKEY root = HKEY_CURRENT_USER)
{
    char value[MAX_PATH * 4] = {};
    return ReadRegString(root, key, name, value, sizeof value) ? value : "";
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
    RunSilently("MIRELUNDE_INSTALLER", "/LOGIN /D=" + InstallFolder().string());

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
    // The user's own login entry, with options, stays as it is.
    const std::string entry = "\"" + (InstallFolder() / "mirelunde.exe").string() + "\" -2 -s off";
    SetRunEntry(entry);
    RunSilently("MIRELUNDE_UPGRADE_INSTALLER", "/LOGIN");
    EXPECT_EQ(RunEntry(), entry);
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

// Started as Explorer or a package manager starts it: no console and no standard handles, so
// nothing it starts can report but through its exit code, a file or a box.
std::unique_ptr<Process> StartDetached(const std::string& commandLine)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    std::string line = commandLine;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &startup,
                        &info))
        return nullptr;
    auto started = std::make_unique<Process>();
    started->process.reset(info.hProcess);
    started->thread.reset(info.hThread);
    started->id = info.dwProcessId;
    return started;
}

// A launcher that holds its lock and never ends: a silent install or uninstall waits for it a while,
// then ends with an exit code that says so, shows no box, and leaves the installation as it was.
TEST(Installer, SilentInstallAndUninstallFailWithoutABoxWhileALauncherDoesNotStop)
{
    const Handle stuck(CreateMutexA(nullptr, TRUE, "Local\\Mirelunde.Launcher.32"));
    ASSERT_TRUE(stuck);
    const std::string uninstaller = (InstallFolder() / "uninstall.exe").string();
    // Run in place, the uninstaller returns its own exit code.
    const std::string commands[] = {std::string("\"") + std::getenv("MIRELUNDE_UPGRADE_INSTALLER") + "\" /S",
                                    "\"" + uninstaller + "\" /S _?=" + InstallFolder().string()};
    for (const std::string& command : commands) {
        const auto run = StartDetached(command);
        ASSERT_TRUE(run) << command;
        // A box would hold it until this wait ends.
        EXPECT_EQ(run->WaitForExit(kStuckMs), 2) << command;
        const auto box = WaitForMessageBox(0, 0);
        EXPECT_FALSE(box) << command << ": " << box->text;
        EXPECT_EQ(Registered("DisplayName"), "Mirelunde") << command;
        EXPECT_TRUE(std::filesystem::is_regular_file(uninstaller)) << command;
    }
    ReleaseMutex(stuck.get());
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    std::ifstream log(std::filesystem::path(temp) / "Mirelunde-setup.log");
    const std::string lines{std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
    EXPECT_NE(lines.find("setup: "), std::string::npos) << lines;
    EXPECT_NE(lines.find("uninstall: "), std::string::npos) << lines;
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
    const std::string cleanup = Read(kRunOnceKey, "Mirelunde");
    EXPECT_EQ(cleanup.empty(), !std::filesystem::exists(InstallFolder()));
    EXPECT_LE(cleanup.size(), kLongestRunCommand) << cleanup;
}

// Folders named in scripts that the system's code page may lack: the launcher installed there serves
// notepad, and the login entry names it there.
TEST(Installer, InstallsIntoAFolderNamedInAnyScript)
{
    const RunEntrySnapshot entry;
    for (const char* name : {"Programs\\Мирелунде", "Programs\\米瑞伦德"}) {
        SCOPED_TRACE(name);
        SetRunEntry(std::nullopt);
        const std::string folder = FolderInAnyScript(CSIDL_LOCAL_APPDATA, name);
        RunSilently("MIRELUNDE_INSTALLER", "/LOGIN /D=" + folder);
        EXPECT_EQ(Registered("InstallLocation"), folder);
        EXPECT_EQ(RunEntry(), "\"" + folder + "\\mirelunde.exe\"");
        HWND window = nullptr;
        const auto notepad = OpenNotepad(window);
        ASSERT_TRUE(notepad);
        ExpectShadesAndUnshades(window);
    }
}

// For all users: Program Files, the machine's registration and Start menu, and still the user's own
// login entry; its uninstall takes them away and leaves the install for one user alone. Under Wine
// every user is an administrator, so the installer runs elevated at once and no prompt shows.
TEST(Installer, SilentInstallForAllUsersGoesToProgramFilesAndItsUninstallRemovesIt)
{
    const RunEntrySnapshot entry;
    SetRunEntry(std::nullopt);
    const std::string ownInstall = Registered("InstallLocation");
    const std::filesystem::path folder = Folder(CSIDL_PROGRAM_FILES, "Mirelunde");
    const std::filesystem::path startMenuEntry = Folder(CSIDL_COMMON_PROGRAMS, "Mirelunde.lnk");
    RunSilently("MIRELUNDE_INSTALLER", "/ALLUSERS /LOGIN");
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "x86\\Mirelunde.dll"));
    EXPECT_TRUE(std::filesystem::is_regular_file(startMenuEntry));
    EXPECT_EQ(Read(kUninstallKey, "InstallLocation", HKEY_LOCAL_MACHINE), folder.string());
    EXPECT_EQ(RunEntry(), "\"" + (folder / "mirelunde.exe").string() + "\"");

    const auto uninstall = Start(Read(kUninstallKey, "QuietUninstallString", HKEY_LOCAL_MACHINE));
    ASSERT_TRUE(uninstall);
    ASSERT_TRUE(WaitUntil([] { return Read(kUninstallKey, "DisplayName", HKEY_LOCAL_MACHINE).empty(); }, kInstallMs));
    EXPECT_FALSE(LauncherRunning());
    EXPECT_FALSE(std::filesystem::exists(startMenuEntry));
    EXPECT_EQ(RunEntry(), std::nullopt);
    EXPECT_EQ(Registered("InstallLocation"), ownInstall);
    // What running programs still have mapped (under Wine, its own explorer) goes at the next restart.
    std::error_code ignored;
    for (const auto& file : std::filesystem::recursive_directory_iterator(folder, ignored)) {
        if (file.is_regular_file()) {
            EXPECT_EQ(file.path().extension(), ".moved") << file.path();
        }
    }
}

// Run as a person runs it, it speaks the language Windows shows its own texts in (scripts/test runs
// it under a German Wine too): its first page, the choice of who it is for, with its button in
// NSIS's words of that language and its own words. Cancelled there, it asks first, and ends with the
// code of a cancel.
TEST(Installer, FirstPageSpeaksTheUsersLanguage)
{
    const char* tag = std::getenv("MIRELUNDE_TEST_LANGUAGE");
    const std::string language = tag != nullptr ? tag : "";
    struct Row {
        const char* tag;
        const char* next;
        const char* forAllUsers;
    } const rows[] = {{"", "&Next >", "Install for &all users"},
                      {"de-DE", "&Weiter >", "Für &alle Benutzer installieren"}};
    const Row* row = std::find_if(std::begin(rows), std::end(rows), [&](const Row& r) { return language == r.tag; });
    ASSERT_NE(row, std::end(rows)) << "no words known for the language " << language;

    const auto setup = Start("\"" + std::string(std::getenv("MIRELUNDE_INSTALLER")) + "\"");
    ASSERT_TRUE(setup);
    const HWND window = WaitForWindow(setup->id);
    ASSERT_NE(window, nullptr);
    const auto next = [&] {
        wchar_t text[64] = {};
        GetDlgItemTextW(window, IDOK, text, ARRAYSIZE(text));
        return Utf8(text);
    };
    EXPECT_TRUE(WaitUntil([&] { return next() == row->next; }, kActionMs)) << next();
    // The choice's own words, which the page shows once it is made.
    const auto shows = [&](const std::string& wanted) {
        std::vector<std::string> texts;
        EnumChildWindows(
            window,
            [](HWND child, LPARAM into) {
                wchar_t text[256] = {};
                GetWindowTextW(child, text, ARRAYSIZE(text));
                reinterpret_cast<std::vector<std::string>*>(into)->push_back(Utf8(text));
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&texts));
        return std::any_of(texts.begin(), texts.end(),
                           [&](const std::string& text) { return text.starts_with(wanted); });
    };
    EXPECT_TRUE(WaitUntil([&] { return shows(row->forAllUsers); }, kActionMs)) << row->forAllUsers;
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    // The question is a box that the installer's window owns, a dialog of the same class as that window.
    HWND sure = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            do sure = FindWindowExW(nullptr, sure, L"#32770", nullptr);
            while (sure != nullptr && (GetWindow(sure, GW_OWNER) != window || !IsWindowVisible(sure)));
            return sure != nullptr;
        },
        kActionMs));
    PostMessageW(GetDlgItem(sure, IDYES), BM_CLICK, 0, 0);
    EXPECT_EQ(setup->WaitForExit(kActionMs), 1);
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
    EXPECT_FALSE(std::filesystem::exists(Folder(CSIDL_LOCAL_APPDATA, "Mirelunde-cleanup.cmd")));
}

}  // namespace
}  // namespace e2e
