// A process that posts, sends and pumps messages, timed in short slices under no global hook, under
// a do-nothing global hook pair and under Mirelunde's pair, the three taking turns.
#include "bench/Figures.h"
#include "bench/Measures.h"
#include "bench/Pump.h"
#include "hook/Exports.h"
#include "settings/Handles.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/Paths.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {

namespace {

constexpr int kRounds = 40;
constexpr int kBatch = 1000;  // posted, then pumped until the queue is empty
constexpr int kSentPerBatch = 100;
constexpr int kMessagesPerBatch = kBatch + 1 + kSentPerBatch;  // and one thread message
// About 0.3 s of the pumping thread's processor time under hooks: the platform counts that time in
// ticks of 10 to 16 ms, so a slice needs a few dozen of them.
constexpr int kSliceBatches = 8;
constexpr int kSliceMessages = kSliceBatches * kMessagesPerBatch;
constexpr double kTarget = 1.05;

enum Setup { kNoHook, kDoNothing, kLibrary, kSetups };

// Every order of the three in turn: in each six rounds every setup comes first, second and last
// twice, and after each of the others.
constexpr Setup kOrders[][kSetups] = {
    {kNoHook, kDoNothing, kLibrary}, {kLibrary, kNoHook, kDoNothing}, {kDoNothing, kLibrary, kNoHook},
    {kNoHook, kLibrary, kDoNothing}, {kDoNothing, kNoHook, kLibrary}, {kLibrary, kDoNothing, kNoHook},
};

LRESULT CALLBACK QuietWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_APP) return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

void PumpWaiting()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

void PostAndPump(HWND window, int batches)
{
    static const UINT kMix[] = {WM_MOUSEMOVE, WM_KEYDOWN, WM_APP, WM_TIMER};
    for (int done = 0; done < batches; ++done) {
        for (int i = 0; i < kBatch; ++i) {
            const UINT message = kMix[i % 4];
            // Mouse at a client point; letter keys; a foreign timer id without a timer procedure
            // (a nonzero lParam would be called as one).
            const WPARAM wParam = message == WM_KEYDOWN ? 'A' : (message == WM_TIMER ? 7 : 0);
            const LPARAM lParam = message == WM_KEYDOWN ? 0x001E0001 : (message == WM_TIMER ? 0 : MAKELPARAM(40, 30));
            PostMessageA(window, message, wParam, lParam);
        }
        PostThreadMessageA(GetCurrentThreadId(), WM_APP + 1, 0, 0);
        PumpWaiting();
        for (int i = 0; i < kSentPerBatch; ++i) SendMessageA(window, WM_APP + 2, i, 0);
    }
}

double ThreadProcessorNs()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ns = [](FILETIME time) {
        return static_cast<double>(ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart) * 100;
    };
    return ns(kernel) + ns(user);
}

}  // namespace

int RunPumpChild(int argc, char** argv)
{
    if (argc < 3 || std::string(argv[1]) != kChildFlag) return -1;
    mirelunde::Handle go(OpenEventA(SYNCHRONIZE, FALSE, EventName("Go", argv[2]).c_str()));
    mirelunde::Handle quit(OpenEventA(SYNCHRONIZE, FALSE, EventName("Quit", argv[2]).c_str()));
    if (!go || !quit) return 1;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = QuietWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "MirelundeBenchPump";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, windowClass.lpszClassName, "pump", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200,
                                        nullptr, nullptr, windowClass.hInstance, nullptr);
    const HANDLE events[] = {go.get(), quit.get()};
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(2, events, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0 + 2) {
            PumpWaiting();
        } else if (woken == WAIT_OBJECT_0) {
            PostAndPump(window, 1);  // a newly installed hook's library arrives before the clock starts
            const double start = NowNs(), processorStart = ThreadProcessorNs();
            PostAndPump(window, kSliceBatches);
            std::printf("%.1f %.1f\n", (NowNs() - start) / kSliceMessages,
                        (ThreadProcessorNs() - processorStart) / kSliceMessages);
            std::fflush(stdout);
        } else {
            break;
        }
    }
    DestroyWindow(window);
    return 0;
}

void MeasurePump()
{
    HookPair doNothing("bench_null_hooks.dll", "NullGetMsgProc", "NullCallWndProc", false);
    HookPair library("Mirelunde.dll", "BrackwenGetMsgProc", "BrackwenCallWndProc", true);
    HookPair* const pairs[kSetups] = {nullptr, &doNothing, &library};
    PumpChild child;
    if (!doNothing || !library || !child.Start()) {
        std::printf("cannot load the hook libraries or start the pumping process\n");
        RecordTarget("pump", NAN, kTarget, 3);
        return;
    }
    auto take = [&](Setup setup) {
        if (pairs[setup] != nullptr && !pairs[setup]->Install()) return Slice{};
        const Slice slice = child.Take();
        if (pairs[setup] != nullptr) pairs[setup]->Remove();
        return slice;
    };
    for (const Setup setup : kOrders[0]) take(setup);  // brings both libraries into the child

    Samples wall[kSetups], processor[kSetups];
    Samples wallVsNone, wallVsDoNothing, processorVsNone, processorVsDoNothing;
    for (int round = 0; round < kRounds; ++round) {
        Slice slices[kSetups];
        for (const Setup setup : kOrders[round % 6]) {
            slices[setup] = take(setup);
            wall[setup].Add(slices[setup].wallNs);
            processor[setup].Add(slices[setup].processorNs);
        }
        wallVsNone.AddRatio(slices[kDoNothing].wallNs, slices[kNoHook].wallNs);
        wallVsDoNothing.AddRatio(slices[kLibrary].wallNs, slices[kDoNothing].wallNs);
        processorVsNone.AddRatio(slices[kDoNothing].processorNs, slices[kNoHook].processorNs);
        processorVsDoNothing.AddRatio(slices[kLibrary].processorNs, slices[kDoNothing].processorNs);
    }
    mirelunde::WriteRegDword(HKEY_CURRENT_USER, mirelunde::names::kSettingsKey, mirelunde::names::kHHook, 0);

    Table table("2. Message pump in another process: " + std::to_string(kRounds) + " rounds, each a slice of " +
                    std::to_string(kSliceMessages) + " messages under every setup in turn (" +
                    std::to_string(kSliceBatches * kBatch) + " posted, " +
                    std::to_string(kSliceBatches * kSentPerBatch) + " sent, " + std::to_string(kSliceBatches) +
                    " thread messages); medians, ratios with their middle half",
                {"global hooks", "thread ns/msg", "ratio", "middle half", "wall ns/msg", "ratio", "middle half"});
    table.Add({"none", Fixed(processor[kNoHook].Median(), 0), "-", "-", Fixed(wall[kNoHook].Median(), 0), "-", "-"});
    table.Add({"do-nothing pair (bench_null_hooks.dll), vs none", Fixed(processor[kDoNothing].Median(), 0),
               Fixed(processorVsNone.Median(), 3), processorVsNone.MiddleHalf(), Fixed(wall[kDoNothing].Median(), 0),
               Fixed(wallVsNone.Median(), 3), wallVsNone.MiddleHalf()});
    table.Add({"Mirelunde's pair, vs do-nothing pair", Fixed(processor[kLibrary].Median(), 0),
               Fixed(processorVsDoNothing.Median(), 3), processorVsDoNothing.MiddleHalf(),
               Fixed(wall[kLibrary].Median(), 0), Fixed(wallVsDoNothing.Median(), 3), wallVsDoNothing.MiddleHalf()});
    table.Print();
    std::printf(
        "thread: the pumping thread's own processor time, the figure for the target (at most %.2f x the "
        "do-nothing pair);\nwall: elapsed time, which on a loaded machine mostly measures the wait for a "
        "processor\n",
        kTarget);
    const bool measured = static_cast<int>(processorVsDoNothing.Count()) == kRounds;
    RecordTarget("pump", measured ? processorVsDoNothing.Median() : NAN, kTarget, 3);
}

}  // namespace bench
