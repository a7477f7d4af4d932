// mirelunde.exe: installs the library's two hooks for every GUI thread, publishes their handles,
// shows its icon in the notification area, and removes the hooks when "HHook" is set to 0. Its
// options write the settings that the library reads, switch the login entry, show the usage box, or
// stop a running launcher, or open the settings window. The 64-bit launcher starts the 32-bit one
// beside it and stops it again.
#include "commands/Help.h"
#include "commands/Login.h"
#include "hook/Exports.h"
#include "launcher/Companion.h"
#include "launcher/ElevatedStart.h"
#include "launcher/Elevation.h"
#include "launcher/HookThread.h"
#include "launcher/InstallCheck.h"
#include "launcher/LauncherTexts.h"
#include "launcher/MovedCopies.h"
#include "launcher/NotifyIcon.h"
#include "launcher/Output.h"
#include "launcher/PutBack.h"
#include "launcher/StopWait.h"
#include "launcher/window/Dialogs.h"
#include "launcher/window/SettingsWindow.h"
#include "settings/Handles.h"
#include "settings/Language.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <shellapi.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace mirelunde;

namespace {

constexpr char kLibraryName[] = "Mirelunde.dll";
#ifdef _WIN64
constexpr const char* kOwnLock = kInstanceLock64;
constexpr unsigned kArchitectureBits = 64;
#else
constexpr const char* kOwnLock = kInstanceLock32;
constexpr unsigned kArchitectureBits = 32;
#endif

constexpr DWORD kKillWaitMs = 10000;
constexpr DWORD kPutBackWaitMs = 1000;  // for each GUI thread; a hung one is passed over at once
// A closing console ends the process once its handler returns (on Windows after 5 s at most).
constexpr DWORD kConsoleEndWaitMs = 20000;

enum ExitCode : int { kStopped = 0, kFailed = 1, kAlreadyRunning = 2, kBadUsage = 3, kChangeableInstall = 4 };

// What the command line asks for; every field left empty leaves its setting as it is.
struct Options {
    std::optional<DWORD> debugLevel;
    bool debugProcessDetach = false;
    bool depthOnMiddle = false;
    bool help = false;
    bool twoButtonMouse = false;
    bool invert = false;
    bool kill = false;
    bool rootMenu = false;
    bool settings = false;
    std::optional<bool> login;
    std::optional<bool> elevated;
    std::optional<bool> systemMenu;
    std::string logFile;
    std::string startOptions;  // the options given besides --login, --elevated, -k and --log: the login entry's and the
                               // companion's
};

bool Is(const std::string& arg, const char* shortName, const char* longName)
{
    return arg == shortName || arg == longName;
}

std::optional<DWORD> ParseLevel(const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value > MAXDWORD) return std::nullopt;
    return static_cast<DWORD>(value);
}

// Reads the command line into `options`; false with a message when it holds anything else.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error)
{
    std::vector<std::string> forEntry;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasNext = i + 1 < args.size();
        // "on" or "off" may follow; anything else is the next option.
        auto onOff = [&](std::optional<bool>& target) {
            target = true;
            if (hasNext && (args[i + 1] == "on" || args[i + 1] == "off")) target = args[++i] == "on";
        };
        const size_t first = i;
        if (Is(arg, "-d", "--debug")) {
            if (!hasNext) {
                error = Message(texts::kNeedsLevelFormat, arg.c_str());
                return false;
            }
            options.debugLevel = ParseLevel(args[++i]);
            if (!options.debugLevel) {
                error = Message(texts::kBadLevelFormat, args[i].c_str());
                return false;
            }
        } else if (arg == "--debug-process-detach") {
            options.debugProcessDetach = true;
        } else if (Is(arg, "-dm", "--depth-on-middle")) {
            options.depthOnMiddle = true;
        } else if (Is(arg, "-h", "--help")) {
            options.help = true;
        } else if (Is(arg, "-2", "--two-button-mouse")) {
            options.twoButtonMouse = true;
        } else if (Is(arg, "-i", "--invert")) {
            options.invert = true;
        } else if (Is(arg, "-k", "--kill")) {
            options.kill = true;
            continue;
        } else if (arg == "--login") {
            onOff(options.login);
            continue;
        } else if (arg == "--elevated") {
            onOff(options.elevated);
            continue;
        } else if (arg == "--log") {
            if (!hasNext) {
                error = Message(texts::kNeedsFileFormat, arg.c_str());
                return false;
            }
            options.logFile = args[++i];
            continue;
        } else if (arg == "--settings") {
            options.settings = true;
            continue;
        } else if (Is(arg, "-m", "--root-menu")) {
            options.rootMenu = true;
        } else if (Is(arg, "-s", "--system-menu")) {
            onOff(options.systemMenu);
        } else {
            error = Message(texts::kUnknownOptionFormat, arg.c_str());
            return false;
        }
        for (size_t taken = first; taken <= i; ++taken) forEntry.push_back(args[taken]);
    }
    for (const std::string& word : forEntry)
        options.startOptions.append(options.startOptions.empty() ? "" : " ").append(word);
    return true;
}

bool WriteSetting(const char* name, DWORD value)
{
    if (WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, name, value)) return true;
    const DWORD error = GetLastError();
    ReportFailure(WithError(Message(texts::kCannotWriteSettingFormat, name), error));
    return false;
}

bool WriteSettings(const Options& options)
{
    bool written = true;
    if (options.debugLevel) written &= WriteSetting(names::kDebugLevel, *options.debugLevel);
    if (options.debugProcessDetach) written &= WriteSetting(names::kDebugProcessDetach, 1);
    if (options.depthOnMiddle) written &= WriteSetting(names::kSinkOnMiddle, 1);
    if (options.twoButtonMouse) written &= WriteSetting(names::kTwoButtonMouse, 1);
    if (options.invert) written &= WriteSetting(names::kInvertDoubleClicks, 1);
    if (options.systemMenu) written &= WriteSetting(names::kAddToSystemMenu, *options.systemMenu ? 1 : 0);
    if (options.rootMenu) Say(Text(texts::kRootMenuIgnored));
    return written;
}

// Set once this launcher holds its instance lock: from then on its console stops it as -k does.
std::atomic<bool> running{false};

int Fail(UINT format, const std::string& detail)
{
    const DWORD error = GetLastError();
    ReportFailure(WithError(Message(format, detail.c_str()), error));
    return kFailed;
}

std::string LibraryPath()
{
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    std::string result = Utf8({path, length < ARRAYSIZE(path) ? length : 0});
    const size_t slash = result.find_last_of("\\/");
    result.resize(slash == std::string::npos ? 0 : slash + 1);
    return result + kLibraryName;
}

bool Publish(const char* name, HHOOK hook)
{
    return WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, name,
                         static_cast<DWORD>(reinterpret_cast<uintptr_t>(hook)));
}

BOOL WINAPI OnConsoleEvent(DWORD event) noexcept
{
    if (!running) return FALSE;  // the system's own handling: the launcher ends, as nothing runs yet
    RequestStop();
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) WaitUntilStopped(kConsoleEndWaitMs);
    return TRUE;
}

BOOL CALLBACK NudgeWindow(HWND window, LPARAM) noexcept
{
    PostMessageA(window, WM_NULL, 0, 0);
    return TRUE;
}

int SwitchLogin(bool on, const std::string& entryOptions)
{
    const LONG status = RunAtLogin(on, entryOptions.c_str());
    if (status == ERROR_INSUFFICIENT_BUFFER || status == ERROR_FILENAME_EXCED_RANGE) {
        ReportFailure(
            Text(status == ERROR_INSUFFICIENT_BUFFER ? texts::kLoginOptionsTooLong : texts::kLoginPathTooLong));
        return kFailed;
    }
    if (IsRunAtLogin() != on) {
        ReportFailure(Text(on ? texts::kLoginNotWritten : texts::kLoginNotRemoved));
        return kFailed;
    }
    char entry[kLoginEntryBytes] = {};
    if (on && ReadRegString(HKEY_CURRENT_USER, names::kRunKey, names::kRunEntry, entry, sizeof entry))
        Say(Message(texts::kRunsAtLoginAsFormat, entry));
    else
        Say(Text(texts::kNoLongerAtLogin));
    return kStopped;
}

// The text of `format` with the path others can change and who can change it.
std::string ChangeableText(UINT format, const ChangeablePath& changeable)
{
    const std::string who = changeable.who.empty() ? Text(texts::kUnknownAccount) : changeable.who;
    return Format(Text(format), changeable.path.c_str(), who.c_str());
}

// Switching the task that starts the launcher as administrator at logon; only a launcher run as
// administrator may register or remove it, and only for an install nobody else can change.
int SwitchElevatedStart(bool on, const std::string& taskOptions)
{
    if (!RunsElevated()) {
        ReportFailure(Text(texts::kNeedsAdministrator));
        return kFailed;
    }
    const std::string launcher = ElevatedStartLauncher();
    if (on) {
        if (const auto changeable = FindChangeablePath(launcher.substr(0, launcher.find_last_of('\\')), true)) {
            ReportFailure(ChangeableText(texts::kUnsafeElevatedStartFormat, *changeable));
            return kChangeableInstall;
        }
    }
    const HRESULT result = SetElevatedStart(on, taskOptions);
    if (FAILED(result)) {
        ReportFailure(Format(Text(texts::kElevatedStartFailedFormat), ElevatedStartTask().c_str(),
                             static_cast<unsigned long>(result)));
        return kFailed;
    }
    Say(on ? Format(Text(texts::kElevatedStartOnFormat), ElevatedStartTask().c_str(), launcher.c_str())
           : std::string(Text(texts::kElevatedStartOff)));
    return kStopped;
}

// The 64-bit launcher installs both pairs of hooks, so a 32-bit launcher running alone refuses it
// too; a 32-bit one minds only its own kind, as it starts nothing beside itself.
bool OtherArchitectureRunning()
{
#ifdef _WIN64
    const Handle lock(OpenMutexA(SYNCHRONIZE, FALSE, kInstanceLock32));
    return lock || GetLastError() == ERROR_ACCESS_DENIED;
#else
    return false;
#endif
}

// Asks the running launchers, of either architecture, to stop and waits until they have ended.
int StopRunningLauncher()
{
    std::vector<Handle> running;
    for (const char* lock : {kInstanceLock64, kInstanceLock32})
        if (Handle held{OpenMutexA(SYNCHRONIZE, FALSE, lock)}) running.push_back(std::move(held));
    if (!WriteSetting(names::kHHook, 0)) return kFailed;
    if (running.empty()) {
        Say(Text(texts::kNoneWasRunning));
        return kStopped;
    }
    const ULONGLONG deadline = GetTickCount64() + kKillWaitMs;
    for (const Handle& lock : running) {
        const ULONGLONG now = GetTickCount64();
        // A launcher never releases its lock, so the lock is abandoned when it exits.
        const DWORD waited = WaitForSingleObject(lock.get(), now < deadline ? static_cast<DWORD>(deadline - now) : 0);
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
            ReportFailure(Text(texts::kStopNotEnded));
            return kFailed;
        }
        ReleaseMutex(lock.get());
    }
    Say(Text(running.size() == 1 ? texts::kOneStopped : texts::kBothStopped));
    return kStopped;
}

}  // namespace

// The command line as it was given, in UTF-8: the C runtime's own arguments are in the ANSI code page.
std::vector<std::string> Arguments()
{
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words == nullptr) return args;
    for (int i = 1; i < count; ++i) args.push_back(Utf8(words[i]));
    LocalFree(words);
    return args;
}

int main()
{
    if (RunsElevated()) LoadFromSystemFolderOnly();
    const bool startedAsCompanion = StartedAsCompanion();
    // Before the console is attached: Ctrl+C or its closing may come at any time after.
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    ConnectOutput(!startedAsCompanion);
    Options options;
    std::string error;
    const bool parsed = ParseOptions(Arguments(), options, error);
    if (!options.logFile.empty()) WriteToLog(options.logFile);
    if (!parsed) {
        ReportFailure(error + "\n\n" + UsageText(nullptr));
        return kBadUsage;
    }
    if (options.help) {
        DisplayHelp(nullptr);
        return kStopped;
    }
    if (!WriteSettings(options)) return kFailed;
    if (options.login) {
        const int switched = SwitchLogin(*options.login, options.startOptions);
        if (switched != kStopped || !options.kill) return switched;
    }
    if (options.elevated) {
        const int switched = SwitchElevatedStart(*options.elevated, options.startOptions);
        if (switched != kStopped || !options.kill) return switched;
    }
    if (options.kill) return StopRunningLauncher();
    if (options.settings) return RunSettingsCommand(options.startOptions);

    // Run as administrator, the lock still lets the user's own -k wait for this launcher's end.
    UserObjectSecurity lockSecurity(SYNCHRONIZE);
    Handle instance(CreateMutexA(lockSecurity.get(), TRUE, kOwnLock));
    // A lock the launcher may not open is an elevated launcher's.
    if (!instance && GetLastError() != ERROR_ACCESS_DENIED) return Fail(texts::kNoInstanceLockFormat, kOwnLock);
    if (!instance || GetLastError() == ERROR_ALREADY_EXISTS || OtherArchitectureRunning()) {
        ReportFailure(Text(texts::kAlreadyRunning));
        return kAlreadyRunning;
    }
    running = true;
    RemoveMovedCopies();

    // Run as administrator, its library and companion would act in every program run so: they are
    // taken only from where nobody else can change them.
    if (RunsElevated()) {
#ifdef _WIN64
        const bool companionToo = true;
#else
        const bool companionToo = false;
#endif
        if (const auto changeable = FindChangeablePath(LauncherFolder(), companionToo)) {
            ReportFailure(ChangeableText(texts::kUnsafeStartFormat, *changeable));
            return kChangeableInstall;
        }
    }

    const std::string libraryPath = LibraryPath();
    // The library reads the marker as it arrives; the programs this launcher starts (from the settings
    // window's file dialog, say) do not inherit it.
    SetEnvironmentVariableA(names::kLauncherMarker, "1");
    Module library(LoadLibraryW(Wide(libraryPath).c_str()));
    SetEnvironmentVariableA(names::kLauncherMarker, nullptr);
    if (!library) return Fail(texts::kCannotLoadFormat, libraryPath);
    const auto getMsgProc = ProcAddress<HOOKPROC>(library.get(), "BrackwenGetMsgProc");
    const auto callWndProc = ProcAddress<HOOKPROC>(library.get(), "BrackwenCallWndProc");
    if (!getMsgProc || !callWndProc) return Fail(texts::kNoHookProceduresFormat, libraryPath);
#ifdef _WIN64
    Companion companion;
    companion.Start(options.startOptions);
    if (StopRequested()) {
        companion.Stop();
        ClearHHook();
        SignalStopped();
        return kStopped;
    }
#endif

    HookThread getMessage(WH_GETMESSAGE, getMsgProc, library.get());
    if (!getMessage.get()) return Fail(texts::kHookNotInstalledFormat, "WH_GETMESSAGE");
    if (!Publish(names::kHHook, getMessage.get())) return Fail(texts::kCannotWriteFormat, names::kHHook);
    HookThread callWnd(WH_CALLWNDPROC, callWndProc, library.get());
    if (!callWnd.get()) return Fail(texts::kHookNotInstalledFormat, "WH_CALLWNDPROC");
    if (!Publish(names::kHWndHook, callWnd.get())) return Fail(texts::kCannotWriteFormat, names::kHWndHook);

#ifndef _WIN64
    SignalCompanionReady();
#endif
    // The companion's icon would be a second one for the same session.
    NotifyIcon icon;
    if (!startedAsCompanion) icon.Show(options.startOptions);
    Say(Message(texts::kHooksInstalledFormat, kArchitectureBits));
    LeaveConsole();

    if (!WaitForStop(StopEvent())) return Fail(texts::kCannotWatchFormat, names::kSettingsKey);
    icon.Remove();

    // No gesture starts once the message hook is gone; the window-procedure hook still reaches every
    // thread, and each puts its own windows back.
    getMessage.Remove();
    AskThreadsToPutWindowsBack(kPutBackWaitMs);
    callWnd.Remove();
    ClearHHook();
#ifdef _WIN64
    companion.Stop();
#endif
    SignalStopped();
    // Every process takes one more message, so each drops the library soon.
    EnumWindows(NudgeWindow, 0);
    return kStopped;
}
