// mirelunde.exe: installs the library's two hooks for every GUI thread, publishes their handles,
// and removes them when "HHook" is set to 0.
#include "hook/Exports.h"
#include "hook/Handles.h"
#include "hook/Registry.h"
#include "hook/SettingsNames.h"

#include <cstdint>
#include <cstdio>
#include <string>

using namespace mirelunde;

namespace {

constexpr char kLibraryName[] = "Mirelunde.dll";
constexpr char kInstanceMutex[] = "Local\\Mirelunde.Launcher";

enum ExitCode : int { kStopped = 0, kFailed = 1, kAlreadyRunning = 2 };

HANDLE stopByConsole = nullptr;

int Fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "mirelunde: %s %s (error %lu)\n", what, detail.c_str(), GetLastError());
    return kFailed;
}

std::string LibraryPath()
{
    char path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string result(path, length < sizeof path ? length : 0);
    const size_t slash = result.find_last_of("\\/");
    result.resize(slash == std::string::npos ? 0 : slash + 1);
    return result + kLibraryName;
}

bool Publish(const char* name, HHOOK hook)
{
    return WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, name,
                         static_cast<DWORD>(reinterpret_cast<uintptr_t>(hook)));
}

bool StopRequested()
{
    DWORD value = 1;
    return ReadRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, value) && value == 0;
}

BOOL WINAPI OnConsoleEvent(DWORD) noexcept
{
    SetEvent(stopByConsole);
    return TRUE;
}

// Sleeps until "HHook" reads 0, woken by registry change notifications (and Ctrl+C), pumping
// the launcher's own messages meanwhile.
bool WaitForStop()
{
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, names::kSettingsKey, 0, KEY_NOTIFY | KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return false;
    Handle changed(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    Handle console(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!changed || !console) return false;
    stopByConsole = console.get();
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);

    const HANDLE events[] = {changed.get(), console.get()};
    for (;;) {
        // Arm the notification before reading, so a write between the two is never missed.
        if (RegNotifyChangeKeyValue(key.get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed.get(), TRUE) != ERROR_SUCCESS)
            return false;
        if (StopRequested()) return true;
        const DWORD woken = MsgWaitForMultipleObjects(2, events, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0 + 1) return true;
        if (woken == WAIT_FAILED) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

BOOL CALLBACK NudgeWindow(HWND window, LPARAM) noexcept
{
    PostMessageA(window, WM_NULL, 0, 0);
    return TRUE;
}

}  // namespace

int main()
{
    Handle instance(CreateMutexA(nullptr, TRUE, kInstanceMutex));
    if (!instance) return Fail("cannot create its instance lock", kInstanceMutex);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        std::fprintf(stderr, "mirelunde: already running in this session\n");
        return kAlreadyRunning;
    }

    const std::string libraryPath = LibraryPath();
    Module library(LoadLibraryA(libraryPath.c_str()));
    if (!library) return Fail("cannot load", libraryPath);
    const auto getMsgProc = ProcAddress<HOOKPROC>(library.get(), "BrackwenGetMsgProc");
    const auto callWndProc = ProcAddress<HOOKPROC>(library.get(), "BrackwenCallWndProc");
    if (!getMsgProc || !callWndProc) return Fail("finds no hook procedures in", libraryPath);

    Hook getMessage(SetWindowsHookExA(WH_GETMESSAGE, getMsgProc, library.get(), 0));
    if (!getMessage) return Fail("cannot install the hook", "WH_GETMESSAGE");
    if (!Publish(names::kHHook, getMessage.get())) return Fail("cannot write", names::kHHook);
    Hook callWnd(SetWindowsHookExA(WH_CALLWNDPROC, callWndProc, library.get(), 0));
    if (!callWnd) return Fail("cannot install the hook", "WH_CALLWNDPROC");
    if (!Publish(names::kHWndHook, callWnd.get())) return Fail("cannot write", names::kHWndHook);

    std::printf("mirelunde: hooks installed; set \"HHook\" to 0 or press Ctrl+C to stop\n");
    std::fflush(stdout);
    if (!WaitForStop()) return Fail("cannot watch", names::kSettingsKey);

    getMessage.reset();
    callWnd.reset();
    // Every process takes one more message, so each drops the library soon and puts its windows back.
    EnumWindows(NudgeWindow, 0);
    return kStopped;
}
