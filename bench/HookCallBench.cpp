// Nanoseconds per call of the exported hook procedures for messages that are no gesture.
#include "bench/Figures.h"
#include "bench/Measures.h"
#include "hook/Exports.h"
#include "tests/support/Paths.h"
#include "tests/support/RegistryCounter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace bench {

namespace {

// Many short rounds, the three procedures taking turns within each, a group of calls at a time: a
// burst of load on the shared machine then hits all three alike, and the median of the rounds'
// ratios is the figure. Each call passes through CallNextHookEx, a round trip to the server under
// Wine, so a group is long enough for the clock and short enough to be passed over by most
// preemptions.
constexpr int kRounds = 101;
constexpr int kTurns = 20;
constexpr int kGroupCalls = 10;
constexpr WPARAM kForeignTimer = 7;
constexpr LPARAM kKeyA = 0x001E0001;
constexpr LPARAM kKeyAUp = 0xC01E0001;
constexpr LPARAM kAltContext = 1 << 29;
constexpr double kTarget = 1.10;

volatile bool floorActive = true;
volatile UINT floorSeen = 0;

// What every WH_GETMESSAGE procedure does at the least: pass the message on.
LRESULT CALLBACK BareGetMsgProc(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK BareCallWndProc(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The work no implementation can skip: the removal flag, whether the process is active, the
// window, the code and the message number are looked at before the message is passed on.
LRESULT CALLBACK FloorGetMsgProc(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (wParam == PM_REMOVE && floorActive && msg->hwnd != nullptr && code >= 0) floorSeen = msg->message;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK FloorCallWndProc(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code >= 0 && sent->message == WM_CLOSE && sent->hwnd != nullptr && floorActive) floorSeen = sent->message;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool threadMessage;
    WPARAM removal;
};

const Case kQueued[] = {
    {"WM_MOUSEMOVE", WM_MOUSEMOVE, 0, MAKELPARAM(40, 30), false, PM_REMOVE},
    {"WM_NCMOUSEMOVE (caption)", WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(300, 160), false, PM_REMOVE},
    {"WM_PAINT", WM_PAINT, 0, 0, false, PM_REMOVE},
    {"WM_KEYDOWN 'A'", WM_KEYDOWN, 'A', kKeyA, false, PM_REMOVE},
    {"WM_CHAR 'a'", WM_CHAR, 'a', kKeyA, false, PM_REMOVE},
    {"WM_KEYUP 'A'", WM_KEYUP, 'A', kKeyAUp, false, PM_REMOVE},
    // Typed with Alt or AltGr held, as the thread's key state says during the measure.
    {"WM_SYSKEYDOWN 'A' (Alt)", WM_SYSKEYDOWN, 'A', kKeyA | kAltContext, false, PM_REMOVE},
    {"WM_SYSKEYUP 'A' (Alt)", WM_SYSKEYUP, 'A', kKeyAUp | kAltContext, false, PM_REMOVE},
    {"WM_KEYUP 'A' (AltGr)", WM_KEYUP, 'A', kKeyAUp | kAltContext, false, PM_REMOVE},
    {"WM_TIMER (foreign id)", WM_TIMER, kForeignTimer, 0, false, PM_REMOVE},
    {"thread message WM_APP", WM_APP, 1, 2, true, PM_REMOVE},
    {"PM_NOREMOVE WM_MOUSEMOVE", WM_MOUSEMOVE, 0, MAKELPARAM(40, 30), false, PM_NOREMOVE},
};

const Case kSent[] = {
    {"WM_NCHITTEST", WM_NCHITTEST, 0, MAKELPARAM(300, 160), false, 0},
    {"WM_SETCURSOR", WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), false, 0},
    {"WM_GETTEXT", WM_GETTEXT, 0, 0, false, 0},
    {"WM_WINDOWPOSCHANGING", WM_WINDOWPOSCHANGING, 0, 0, false, 0},
    {"WM_USER", WM_USER, 3, 4, false, 0},
};

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeFrame()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "MirelundeBenchFrame";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150, 400, 300,
                           nullptr, nullptr, windowClass.hInstance, nullptr);
}

using Procedure = HookProcedure;

// Through a volatile pointer, so the bench's own procedures are called like the library's, never inlined.
void CallQueued(Procedure procedure, const MSG& shape, WPARAM removal)
{
    const Procedure volatile call = procedure;
    MSG msg = shape;
    for (int i = 0; i < kGroupCalls; ++i) {
        msg.message = shape.message;  // a procedure may rewrite it; every call sees the same message
        call(HC_ACTION, removal, reinterpret_cast<LPARAM>(&msg));
    }
}

void CallSent(Procedure procedure, const CWPSTRUCT& shape)
{
    const Procedure volatile call = procedure;
    CWPSTRUCT sent = shape;
    for (int i = 0; i < kGroupCalls; ++i) call(HC_ACTION, 0, reinterpret_cast<LPARAM>(&sent));
}

struct Row {
    Samples library, bare, floor;  // ns per call
    Samples vsBare, vsFloor;       // the rounds' ratios
};

// The highest median ratio to the bare procedure among the rows: the target holds for every message.
double PrintRows(const char* title, const Case* cases, const Row* rows, size_t count)
{
    Table table(
        title, {"message", "Mirelunde ns", "bare ns", "floor ns", "vs bare", "middle half", "vs floor", "middle half"});
    double worst = 0;
    for (size_t i = 0; i < count; ++i) {
        const Row& row = rows[i];
        worst = std::max(worst, row.vsBare.Median());
        table.Add({cases[i].name, Fixed(row.library.Median(), 1), Fixed(row.bare.Median(), 1),
                   Fixed(row.floor.Median(), 1), Fixed(row.vsBare.Median(), 3), row.vsBare.MiddleHalf(),
                   Fixed(row.vsFloor.Median(), 3), row.vsFloor.MiddleHalf()});
    }
    table.Print();
    return worst;
}

// One round of the three procedures (library, bare, floor) taking turns; `call` runs a group of calls.
template <typename Call>
void MeasureRound(Row& row, const Procedure (&procedures)[3], int round, Call call)
{
    const std::vector<double> ns = MedianTurns(3, kTurns, round, [&](size_t which) { call(procedures[which]); });
    row.library.Add(ns[0] / kGroupCalls);
    row.bare.Add(ns[1] / kGroupCalls);
    row.floor.Add(ns[2] / kGroupCalls);
    row.vsBare.AddRatio(ns[0], ns[1]);
    row.vsFloor.AddRatio(ns[0], ns[2]);
}

}  // namespace

void MeasureHookCalls()
{
    WriteTypicalSettings();
    const HMODULE library = LoadLibraryA(testing_support::BuiltFile("Mirelunde.dll").c_str());
    if (library == nullptr) {
        std::printf("cannot load Mirelunde.dll (error %lu)\n", GetLastError());
        RecordTarget("hook-getmsg", NAN, kTarget, 3);
        RecordTarget("hook-callwnd", NAN, kTarget, 3);
        RecordTarget("hook-registry-calls", NAN, 0, 0);
        return;
    }
    const bool counting = testing_support::CountRegistryCallsOf(library);
    const auto getMsgProc = ProcAddress<Procedure>(library, "BrackwenGetMsgProc");
    const auto callWndProc = ProcAddress<Procedure>(library, "BrackwenCallWndProc");
    const HWND frame = MakeFrame();

    constexpr size_t kQueuedCount = sizeof kQueued / sizeof kQueued[0];
    constexpr size_t kSentCount = sizeof kSent / sizeof kSent[0];
    MSG shapes[kQueuedCount];
    CWPSTRUCT sentShapes[kSentCount];
    for (size_t i = 0; i < kQueuedCount; ++i) {
        const Case& c = kQueued[i];
        shapes[i] = MSG{c.threadMessage ? nullptr : frame, c.message, c.wParam, c.lParam, GetTickCount(), {300, 160}};
    }
    for (size_t i = 0; i < kSentCount; ++i)
        sentShapes[i] = CWPSTRUCT{kSent[i].lParam, kSent[i].wParam, kSent[i].message, frame};

    // The library's first message in a process settles its System Menu attempt; that is not per-message cost.
    CallQueued(getMsgProc, shapes[0], PM_REMOVE);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_MENU] = keys[VK_RMENU] = keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    SetKeyboardState(keys);
    testing_support::ResetRegistryCounts();

    Row queued[kQueuedCount], sent[kSentCount];
    unsigned libraryCalls = 0;
    const Procedure queuedProcedures[] = {getMsgProc, BareGetMsgProc, FloorGetMsgProc};
    const Procedure sentProcedures[] = {callWndProc, BareCallWndProc, FloorCallWndProc};
    for (int round = 0; round < kRounds; ++round) {
        for (size_t i = 0; i < kQueuedCount; ++i)
            MeasureRound(queued[i], queuedProcedures, round,
                         [&](Procedure p) { CallQueued(p, shapes[i], kQueued[i].removal); });
        for (size_t i = 0; i < kSentCount; ++i)
            MeasureRound(sent[i], sentProcedures, round, [&](Procedure p) { CallSent(p, sentShapes[i]); });
        libraryCalls += (kQueuedCount + kSentCount) * kTurns * kGroupCalls;
    }
    const unsigned registryCalls = testing_support::CountedRegistryCalls().Total();
    keys[VK_MENU] = keys[VK_RMENU] = keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    SetKeyboardState(keys);

    const std::string rounds = std::to_string(kRounds) + " rounds x " + std::to_string(kTurns) + " turns x " +
                               std::to_string(kGroupCalls) + " calls";
    const double getMsgWorst = PrintRows(
        ("1a. BrackwenGetMsgProc, ns per call (medians of " + rounds + "; bare = CallNextHookEx only)").c_str(),
        kQueued, queued, kQueuedCount);
    const double callWndWorst = PrintRows(("1b. BrackwenCallWndProc, ns per call (medians of " + rounds + ")").c_str(),
                                          kSent, sent, kSentCount);
    std::printf(
        "ratios: median of the rounds' ratios; in a round the three procedures take turns, a group of calls at a\n"
        "time, and each has its median group; the target is at most %.2f x bare for every ordinary message\n",
        kTarget);
    RecordTarget("hook-getmsg", getMsgWorst, kTarget, 3);
    RecordTarget("hook-callwnd", callWndWorst, kTarget, 3);
    if (counting)
        std::printf("registry calls made by the library during these %u calls: %u\n", libraryCalls, registryCalls);
    else
        std::printf("registry calls: could not bind the library's imports to counters\n");
    RecordTarget("hook-registry-calls", counting ? registryCalls : NAN, 0, 0);

    DestroyWindow(frame);
    FreeLibrary(library);
}

}  // namespace bench
