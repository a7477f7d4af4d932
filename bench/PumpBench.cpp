// A process that posts, sends and pumps messages, timed under no global hook, under a do-nothing
// global hook pair and under the real launcher's hooks.
#include "bench/Figures.h"
#include "bench/Measures.h"
#include "hook/Exports.h"
#include "hook/Handles.h"
#include "hook/Registry.h"
#include "hook/SettingsNames.h"
#include "tests/support/Paths.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace bench {

namespace {

constexpr int kPosted = 200000;
constexpr int kBatch = 1000;  // posted, then pumped until the queue is empty
constexpr int kSentPerBatch = 100;
constexpr int kWarmUp = 2000;  // lets a global hook's library arrive before the clock starts
constexpr int kPumpRepetitions = 5;
constexpr DWORD kWaitMs = 20000;
constexpr DWORD kSettleMs = 1000;  // a freshly started installer is still busy starting up
constexpr char kChildFlag[] = "--pump-child";
constexpr char kInstallerFlag[] = "--null-hooks";

LRESULT CALLBACK QuietWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_APP) return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

void PostAndPump(HWND window, int count, int sentPerBatch)
{
    static const UINT kMix[] = {WM_MOUSEMOVE, WM_KEYDOWN, WM_APP, WM_TIMER};
    for (int done = 0; done < count; done += kBatch) {
        for (int i = 0; i < kBatch; ++i) {
            const UINT message = kMix[i % 4];
            // A foreign timer id without a timer procedure; mouse at a client point; letter keys.
            PostMessageA(window, message, message == WM_KEYDOWN ? 'A' : (message == WM_TIMER ? 7 : 0),
                         message == WM_KEYDOWN ? 0x001E0001 : MAKELPARAM(40, 30));
        }
        PostThreadMessageA(GetCurrentThreadId(), WM_APP + 1, 0, 0);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        for (int i = 0; i < sentPerBatch; ++i) SendMessageA(window, WM_APP + 2, i, 0);
    }
}

struct Started {
    mirelunde::Handle process;
    mirelunde::Handle thread;
};

// The started processes' own messages (the launcher greets) would land among the tables.
bool Start(const std::string& commandLine, Started& started)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    mirelunde::Handle nowhere(CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = nowhere.get();
    startup.hStdError = nowhere.get();
    std::string line = commandLine;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return false;
    started.process.reset(info.hProcess);
    started.thread.reset(info.hThread);
    return true;
}

// ns per message as the child measured it; 0 on failure.
double RunChild()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string out = std::string(temp) + "mirelunde-pump-" + std::to_string(GetCurrentProcessId()) + ".txt";
    Started child;
    if (!Start("\"" + testing_support::OwnExecutable() + "\" " + kChildFlag + " \"" + out + "\"", child)) return 0;
    if (WaitForSingleObject(child.process.get(), 10 * kWaitMs) != WAIT_OBJECT_0) {
        TerminateProcess(child.process.get(), 1);
        return 0;
    }
    double ns = 0;
    std::ifstream(out) >> ns;
    DeleteFileA(out.c_str());
    return ns;
}

DWORD ReadHook()
{
    DWORD value = 0;
    mirelunde::ReadRegDword(HKEY_CURRENT_USER, mirelunde::names::kSettingsKey, mirelunde::names::kHHook, value);
    return value;
}

bool WaitFor(bool (*condition)(), DWORD ms)
{
    const ULONGLONG deadline = GetTickCount64() + ms;
    while (!condition()) {
        if (GetTickCount64() > deadline) return false;
        Sleep(50);
    }
    return true;
}

double UnderNoHook()
{
    Sleep(kSettleMs);
    return RunChild();
}

// The do-nothing pair is installed by a process of its own, as the launcher installs its hooks.
double UnderNullHooks()
{
    const std::string tag = std::to_string(GetCurrentProcessId());
    mirelunde::Handle ready(CreateEventA(nullptr, TRUE, FALSE, ("MirelundeBenchReady" + tag).c_str()));
    mirelunde::Handle stop(CreateEventA(nullptr, TRUE, FALSE, ("MirelundeBenchStop" + tag).c_str()));
    Started installer;
    if (!Start("\"" + testing_support::OwnExecutable() + "\" " + kInstallerFlag + " " + tag, installer)) return 0;
    double ns = 0;
    if (WaitForSingleObject(ready.get(), kWaitMs) == WAIT_OBJECT_0) {
        Sleep(kSettleMs);
        ns = RunChild();
    }
    SetEvent(stop.get());
    if (WaitForSingleObject(installer.process.get(), kWaitMs) != WAIT_OBJECT_0)
        TerminateProcess(installer.process.get(), 1);
    return ns;
}

double UnderLauncher()
{
    using namespace mirelunde;
    WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, 0);
    Started launcher;
    if (!Start("\"" + testing_support::BuiltFile("mirelunde.exe") + "\"", launcher)) return 0;
    double ns = 0;
    if (WaitFor([] { return ReadHook() != 0; }, kWaitMs)) {
        Sleep(kSettleMs);
        ns = RunChild();
    }
    WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, 0);
    if (WaitForSingleObject(launcher.process.get(), kWaitMs) != WAIT_OBJECT_0)
        TerminateProcess(launcher.process.get(), 1);
    return ns;
}

}  // namespace

int RunNullHookInstaller(const char* tag)
{
    const HMODULE library = LoadLibraryA(testing_support::BuiltFile("bench_null_hooks.dll").c_str());
    if (library == nullptr) return 1;
    mirelunde::Hook getMessage(
        SetWindowsHookExA(WH_GETMESSAGE, ProcAddress<HOOKPROC>(library, "NullGetMsgProc"), library, 0));
    mirelunde::Hook callWndProc(
        SetWindowsHookExA(WH_CALLWNDPROC, ProcAddress<HOOKPROC>(library, "NullCallWndProc"), library, 0));
    if (!getMessage || !callWndProc) return 1;
    mirelunde::Handle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, (std::string("MirelundeBenchReady") + tag).c_str()));
    mirelunde::Handle stop(OpenEventA(SYNCHRONIZE, FALSE, (std::string("MirelundeBenchStop") + tag).c_str()));
    if (!ready || !stop) return 1;
    SetEvent(ready.get());
    WaitForSingleObject(stop.get(), INFINITE);
    return 0;
}

int RunPumpChild(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == kInstallerFlag) return RunNullHookInstaller(argv[2]);
    if (argc < 3 || std::string(argv[1]) != kChildFlag) return -1;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = QuietWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "MirelundeBenchPump";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, windowClass.lpszClassName, "pump", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200,
                                        nullptr, nullptr, windowClass.hInstance, nullptr);
    PostAndPump(window, kWarmUp, kSentPerBatch);
    const double start = NowNs();
    PostAndPump(window, kPosted, kSentPerBatch);
    const int messages = kPosted + kPosted / kBatch * (1 + kSentPerBatch);
    const double ns = (NowNs() - start) / messages;
    DestroyWindow(window);
    std::ofstream(argv[2]) << ns;
    return 0;
}

void MeasurePump()
{
    Best none, null, library;
    for (int rep = 0; rep < kPumpRepetitions; ++rep) {
        none.Offer(UnderNoHook());
        null.Offer(UnderNullHooks());
        library.Offer(UnderLauncher());
    }
    const int messages = kPosted + kPosted / kBatch * (1 + kSentPerBatch);
    Table table("2. Message pump in another process: " + std::to_string(kPosted) + " posted + " +
                    std::to_string(kPosted / kBatch * kSentPerBatch) + " sent + " + std::to_string(kPosted / kBatch) +
                    " thread messages (" + std::to_string(messages) + "), ns per message, best of " +
                    std::to_string(kPumpRepetitions),
                {"global hooks", "ns/message", "vs no hook", "vs do-nothing", "target 1.05"});
    table.Add({"none", Fixed(none.value, 1), "1.000", Ratio(none.value, null.value), "-"});
    table.Add({"do-nothing pair (bench_null_hooks.dll, own installer)", Fixed(null.value, 1),
               Ratio(null.value, none.value), "1.000", "-"});
    table.Add({"Mirelunde (real launcher)", Fixed(library.value, 1), Ratio(library.value, none.value),
               Ratio(library.value, null.value), library.value <= 1.05 * null.value ? "met" : "NOT met"});
    table.Print();
}

}  // namespace bench
