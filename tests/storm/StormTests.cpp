// A storm of random but well-formed messages from several GUI threads through the built library's
// hooks, with settings flipped between bursts, ending with the library's detach: the process lives,
// and every window that survived is back to how it was before its first gesture.
#include "actions/WindowTable.h"
#include "hook/Exports.h"
#include "launcher/PutBack.h"
#include "settings/Handles.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/Forensics.h"
#include "tests/support/Input.h"
#include "tests/support/MenuReader.h"
#include "tests/support/ModalBox.h"
#include "tests/support/Paths.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestWindows.h"

#include <gtest/gtest.h>
#include <usp10.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace {

constexpr char kKey[] = "Software\\Pellamor\\Mirelunde";
constexpr int kThreads = 4;
constexpr int kBursts = 8;
constexpr int kMessagesPerBurst = 750;
constexpr LPARAM kAltContext = 1 << 29;
constexpr UINT_PTR kMiddleTimer = 170770;
constexpr UINT_PTR kQuietTimer = 180770;
constexpr UINT kItemCommand = 0xEFFF;

unsigned StormSeed()
{
    if (const char* seed = std::getenv("MIRELUNDE_STORM_SEED"))
        return static_cast<unsigned>(std::strtoul(seed, nullptr, 10));
    return static_cast<unsigned>(GetTickCount64());
}

// A window as it was before the storm touched it.
struct Tracked {
    HWND window;
    RECT rect;
    bool topmost;
    DWORD frameStyle;  // the style bits that shading and stretching change
};

Tracked Track(HWND window)
{
    constexpr DWORD kFrameBits = WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MAXIMIZE | WS_MINIMIZE;
    return {window, WindowRect(window), IsTopmost(window),
            static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & kFrameBits};
}

bool SameState(const Tracked& was, const Tracked& now)
{
    return EqualRect(&now.rect, &was.rect) && now.topmost == was.topmost && now.frameStyle == was.frameStyle;
}

void ExpectSame(const Tracked& was, const Tracked& now, const char* when)
{
    EXPECT_TRUE(EqualRect(&now.rect, &was.rect))
        << "window " << was.window << " is {" << now.rect.left << "," << now.rect.top << "," << now.rect.right << ","
        << now.rect.bottom << "}, was {" << was.rect.left << "," << was.rect.top << "," << was.rect.right << ","
        << was.rect.bottom << "} " << when << " (thread " << GetWindowThreadProcessId(was.window, nullptr) << ")";
    EXPECT_EQ(now.topmost, was.topmost) << "window " << was.window << " topmost state differs from " << when
                                        << " parent " << GetParent(was.window) << " owner "
                                        << GetWindow(was.window, GW_OWNER) << " style " << std::hex
                                        << GetWindowLongA(was.window, GWL_STYLE);
    EXPECT_EQ(now.frameStyle, was.frameStyle) << "window " << was.window << " frame style differs from " << when;
}

// One GUI thread: its own windows, the library's hooks on it, and bursts of random messages.
class Worker {
public:
    Worker(HMODULE library, unsigned seed, HANDLE finish) : library_(library), random_(seed), finish_(finish)
    {
        start_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        thread_ = std::thread([this] { Run(); });
    }
    ~Worker()
    {
        if (thread_.joinable()) thread_.join();
        CloseHandle(start_);
        CloseHandle(done_);
    }

    HANDLE Start() const { return start_; }
    HANDLE Done() const { return done_; }
    void UnhookMessages() { getMessage_.reset(); }
    void UnhookWindowProcedures() { callWnd_.reset(); }
    void Join() { thread_.join(); }

    std::vector<Tracked> tracked;  // read by the test after the bursts
    int sent = 0;
    // Where the thread is, for the report when a burst does not end.
    std::atomic<const char*> stage{"starting"};
    std::atomic<UINT> lastMessage{0};  // the last message this thread took from its queue
    std::atomic<int> position{-1};
    std::atomic<unsigned> lastPick{0};
    DWORD threadId = 0;

private:
    void MakeWindows()
    {
        const HWND frame = Keep(MakeWindow(WS_OVERLAPPEDWINDOW, 0, nullptr, {80, 60, 480, 360}));
        Keep(MakeWindow(WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 0, frame, {10, 10, 200, 150}));
        Keep(MakeWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, frame, {150, 120, 350, 300}));
        Keep(MakeWindow(WS_OVERLAPPEDWINDOW, WS_EX_TOPMOST, nullptr, {500, 80, 800, 300}));
        const HWND mdiFrame = Keep(MakeWindow(WS_OVERLAPPEDWINDOW, 0, nullptr, {300, 300, 800, 700}));
        CLIENTCREATESTRUCT client{};
        const HWND mdiClient = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 480, 340, mdiFrame,
                                               nullptr, GetModuleHandleA(nullptr), &client);
        Keep(CreateMDIWindowA("MirelundeRecordingFrame", "document", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 150,
                              mdiClient, GetModuleHandleA(nullptr), 0));
        MakeControl("EDIT", frame);
    }

    HWND Keep(HWND window)
    {
        if (window) tracked.push_back(Track(window));
        return window;
    }

    HWND AnyWindow()
    {
        for (int tries = 0; tries < 8; ++tries) {
            const HWND window = tracked[random_() % tracked.size()].window;
            if (IsWindow(window)) return window;
        }
        return nullptr;
    }

    // One random message, posted (or sent, for WM_CLOSE) to one of this thread's windows.
    void SendRandomMessage()
    {
        const HWND window = AnyWindow();
        if (!window) {
            MakeWindows();
            return;
        }
        static const WPARAM kShortcutKeys[] = {VK_NUMPAD0,  VK_NUMPAD5, VK_MULTIPLY, VK_SCROLL, VK_ADD,
                                               VK_SUBTRACT, VK_F4,      'A',         VK_F10};
        static const WPARAM kModifiers[] = {VK_SHIFT, VK_CONTROL, VK_MENU};
        const unsigned pick = random_() % 100;
        lastPick = pick;
        const WPARAM hit = HTCAPTION;
        ++sent;
        if (pick < 14) {
            PostMessageA(window, WM_NCLBUTTONDBLCLK, hit, 0);
        } else if (pick < 22) {
            PostMessageA(window, WM_NCRBUTTONDOWN, hit, 0);
            PostMessageA(window, WM_NCRBUTTONUP, hit, 0);
        } else if (pick < 34) {
            const UINT middle[] = {WM_NCMBUTTONDOWN, WM_NCMBUTTONUP, WM_NCMBUTTONDBLCLK};
            PostMessageA(window, middle[random_() % 3], hit, 0);
        } else if (pick < 44) {
            const UINT_PTR timers[] = {kMiddleTimer, kQuietTimer, 1};
            PostMessageA(window, WM_TIMER, timers[random_() % 3], 0);
        } else if (pick < 60) {
            // The thread's key state goes with the key message, as a real key's would.
            const WPARAM key = kModifiers[random_() % 3];
            const bool down = random_() % 2;
            SetKeyState(static_cast<WORD>(key), down);
            PostMessageA(window, down ? WM_KEYDOWN : WM_KEYUP, key, 0);
        } else if (pick < 80) {
            // A whole hold of Alt: a keypad digit acts as Alt is let go.
            const WPARAM key = kShortcutKeys[random_() % std::size(kShortcutKeys)];
            SetKeyState(VK_MENU, true);
            PostMessageA(window, WM_SYSKEYDOWN, VK_MENU, kAltContext);
            PostMessageA(window, WM_SYSKEYDOWN, key, kAltContext);
            PostMessageA(window, WM_SYSKEYUP, key, kAltContext);
            PostMessageA(window, WM_KEYUP, VK_MENU, 0);
        } else if (pick < 86) {
            PostMessageA(window, WM_KILLFOCUS, 0, 0);
        } else if (pick < 90) {
            PostMessageA(window, WM_SYSCOMMAND, kItemCommand - random_() % 2, 0);
        } else if (pick < 92) {
            SendMessageA(window, WM_CLOSE, 0, 0);  // shaded or not; the window goes
        } else if (pick < 93) {
            DestroyWindow(window);  // gone in the middle of whatever gesture was running
        } else {
            PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        }
    }

    // The stages say where a thread that stops answering is: taking a message (the message hook
    // and sent messages run in there) or handling one.
    void Pump()
    {
        const char* const was = stage;
        MSG msg;
        for (;;) {
            stage = "taking a message";
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) break;
            lastMessage = msg.message;
            stage = "handling a message";
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        stage = was;
    }

    // Other threads' gestures (a sink activating one of these windows) send messages here: a
    // waiting GUI thread must keep handling them.
    void WaitPumping(HANDLE event, const char* waitingFor)
    {
        stage = waitingFor;
        while (MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) Pump();
    }

    void Run()
    {
        const DWORD thread = GetCurrentThreadId();
        threadId = thread;
        stage = "installing the hooks";
        getMessage_.reset(
            SetWindowsHookExA(WH_GETMESSAGE, ProcAddress<HOOKPROC>(library_, "BrackwenGetMsgProc"), library_, thread));
        callWnd_.reset(SetWindowsHookExA(WH_CALLWNDPROC, ProcAddress<HOOKPROC>(library_, "BrackwenCallWndProc"),
                                         library_, thread));
        stage = "making its windows";
        MakeWindows();
        for (int burst = 0; burst < kBursts; ++burst) {
            WaitPumping(start_, "waiting for the burst's start");
            stage = "in the burst";
            for (int i = 0; i < kMessagesPerBurst; ++i) {
                position = i;
                SendRandomMessage();
                if (i % 16 == 0) Pump();
            }
            Pump();
            SetEvent(done_);
        }
        // The windows stay, and this thread keeps handling their messages, until the detach has run.
        WaitPumping(finish_, "waiting for the end");
        for (const Tracked& t : tracked)
            if (IsWindow(t.window)) DestroyWindow(t.window);
    }

    HMODULE library_;
    std::mt19937 random_;
    HANDLE finish_;
    HANDLE start_ = nullptr;
    HANDLE done_ = nullptr;
    Hook getMessage_, callWnd_;
    std::thread thread_;
};

// Answers every menu and box of the process: menus are dismissed, questions answered No. Alt or
// F10 alone puts a thread into its menu bar's keyboard mode, which shows no popup: Escape too.
// Wine keeps whether a menu loop is to end in one flag for the whole process: when a popup opened
// inside a thread's keyboard mode ends just as another thread starts a menu, that keyboard mode goes
// on while the system reports no menu for the thread. A thread that has handled one message for a
// second is sent an Escape as well, which ends that mode and is dropped anywhere else.
class Dismisser {
public:
    explicit Dismisser(const std::vector<std::unique_ptr<Worker>>& workers)
        : thread_([this, &workers] {
              std::vector<int> position(workers.size(), -1);
              std::vector<ULONGLONG> since(workers.size(), 0);
              while (!stop_) {
                  for (size_t i = 0; i < workers.size(); ++i) {
                      const Worker& worker = *workers[i];
                      GUITHREADINFO info{};
                      info.cbSize = sizeof info;
                      const bool keyboardMode = worker.threadId != 0 && GetGUIThreadInfo(worker.threadId, &info) &&
                                                (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) == GUI_INMENUMODE;
                      const ULONGLONG now = GetTickCount64();
                      if (worker.position != position[i] || std::strcmp(worker.stage, "handling a message") != 0) {
                          position[i] = worker.position;
                          since[i] = now;
                      }
                      const bool stalled = now - since[i] >= 1000;
                      if (stalled) {
                          since[i] = now;
                          if (++stalls <= 8)
                              std::printf("storm: thread %lu stalled in message 0x%x (kind %u) for a second; %s\n",
                                          static_cast<unsigned long>(worker.threadId), worker.lastMessage.load(),
                                          worker.lastPick.load(), GuiThreadState(worker.threadId).c_str());
                      }
                      if (keyboardMode || stalled) PostThreadMessageA(worker.threadId, WM_KEYDOWN, VK_ESCAPE, 1);
                  }
                  if (const auto menu = WaitForPopupMenu(GetCurrentProcessId(), 20, false)) {
                      PostKeys(menu->popup, {VK_ESCAPE});
                      ++menus;
                  }
                  if (const auto box = WaitForMessageBox(GetCurrentProcessId(), 0)) {
                      const bool question =
                          std::find(box->buttons.begin(), box->buttons.end(), IDNO) != box->buttons.end();
                      PressButton(*box, question ? IDNO : IDOK);
                      ++boxes;
                      Sleep(50);
                  }
              }
          })
    {
    }
    ~Dismisser()
    {
        stop_ = true;
        thread_.join();
    }
    std::atomic<int> menus{0};
    std::atomic<int> boxes{0};
    std::atomic<int> stalls{0};

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

BOOL CALLBACK ReportWindow(HWND window, LPARAM) noexcept
{
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    // Neither call sends the window a message: its thread may be the one that hangs.
    char kind[64] = {};
    WCHAR title[64] = {};
    GetClassNameA(window, kind, sizeof kind);
    // A menu's window is listed shown or not: one made and not yet shown says where its thread stopped.
    const bool menu = std::strcmp(kind, kMenuClass) == 0;
    const bool shown = IsWindowVisible(window) != FALSE;
    if (!menu && !shown) return TRUE;
    InternalGetWindowText(window, title, 64);
    std::printf("storm:   window %p of thread %lu, class %s, \"%ls\"%s\n", static_cast<void*>(window),
                static_cast<unsigned long>(thread), kind, title,
                menu ? (shown ? ", shown" : ", not shown") : "");
    return TRUE;
}

// A thread that does not end its burst holds the others' windows and the library: the test says
// where each thread was and which windows were open, has every thread's stack recorded, and ends
// the process, which cannot unwind.
[[noreturn]] void AbandonStuckBurst(unsigned seed, int burst, const std::vector<std::unique_ptr<Worker>>& workers)
{
    std::printf("storm: seed %u: burst %d did not end within 120 s\n", seed, burst);
    for (const auto& worker : workers)
        std::printf("storm:   thread %lu %s, last message 0x%x; burst at message %d (kind %u), %s; %s\n",
                    static_cast<unsigned long>(worker->threadId), worker->stage.load(), worker->lastMessage.load(),
                    worker->position.load(), worker->lastPick.load(),
                    WaitForSingleObject(worker->Done(), 0) == WAIT_OBJECT_0 ? "ended" : "running",
                    testing_support::GuiThreadState(worker->threadId).c_str());
    EnumWindows(ReportWindow, 0);
    std::fflush(stdout);
    testing_support::RecordHang("storm: seed " + std::to_string(seed) + ": burst " + std::to_string(burst) +
                                " did not end within 120 s");
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 2);
    std::abort();
}

// Wine's script analysis keeps the caches of the fonts in use in one list for the whole process, and
// when two threads make the cache of one font at the same moment, the one that finds the other's
// frees its own and leaves it listed: a later walk of the list may then never end, under the lock
// that every thread drawing text waits for. A cache of each font these windows draw with, made first
// and kept, is found by every later look, and none is made during the storm. They are kept until the
// process ends: freeing them at the end crashed once in about 120 runs, in ScriptFreeCache, on a
// pointer read from memory already freed: the list was broken by then all the same.
class FontCachesHeld {
public:
    FontCachesHeld()
    {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        const HDC dc = CreateCompatibleDC(nullptr);
        Hold(dc, GetStockObject(SYSTEM_FONT));
        Hold(dc, GetStockObject(DEFAULT_GUI_FONT));
        for (const LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                                     &metrics.lfStatusFont, &metrics.lfMessageFont}) {
            fonts_.push_back(CreateFontIndirectW(font));
            Hold(dc, fonts_.back());
        }
        DeleteDC(dc);
    }
private:
    void Hold(HDC dc, HGDIOBJ font)
    {
        SelectObject(dc, font);
        SCRIPT_CACHE cache = nullptr;
        long height = 0;
        if (SUCCEEDED(ScriptCacheGetHeight(dc, &cache, &height))) caches_.push_back(cache);
    }

    std::vector<HFONT> fonts_;
    std::vector<SCRIPT_CACHE> caches_;
};

void FlipSettings(std::mt19937& random)
{
    const char* flags[] = {names::kInvertDoubleClicks, names::kRightClickShades, names::kSinkOnMiddle,
                           names::kEnableKeyboard, names::kHugStretch};
    for (const char* name : flags) {
        switch (random() % 4) {
        case 0: WriteRegDword(HKEY_CURRENT_USER, kKey, name, 0); break;
        case 1: WriteRegDword(HKEY_CURRENT_USER, kKey, name, 1); break;
        case 2: WriteRegString(HKEY_CURRENT_USER, kKey, name, "not a number"); break;
        default: WriteRegDword(HKEY_CURRENT_USER, kKey, name, 0xFFFFFFFF); break;
        }
    }
}

// A case that does not end outside its bursts (the put-back, the library's leaving) leaves its report
// too, and ends in time for the entry's second run.
constexpr DWORD kCaseLimitMs = 600000;
const bool watched = std::getenv("MIRELUNDE_FORENSICS_REQUEST") != nullptr &&
                     (testing_support::WatchEachCase(kCaseLimitMs), true);

TEST(Storm, ManyThreadsOfRandomGesturesEndWithEveryWindowPutBack)
{
    const unsigned seed = StormSeed();
    SCOPED_TRACE("seed " + std::to_string(seed) + " (set MIRELUNDE_STORM_SEED to repeat it)");
    RegistrySandbox::Clear();
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHWndHook, 0x10));
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHHook, 0x20));
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kTwoButtonMouse, 0));
    SetCursorPos(900, 700);

    HMODULE library = LoadLibraryA(BuiltFile("Mirelunde.dll").c_str());
    ASSERT_NE(library, nullptr);
    Handle finish(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const FontCachesHeld fontCaches;
    std::mt19937 random(seed);
    int sent = 0, menus = 0, boxes = 0, stalls = 0;
    {
        std::vector<std::unique_ptr<Worker>> workers;
        for (int i = 0; i < kThreads; ++i)
            workers.push_back(std::make_unique<Worker>(library, seed + i + 1, finish.get()));
        Dismisser dismisser(workers);
        for (int burst = 0; burst < kBursts; ++burst) {
            FlipSettings(random);
            std::vector<HANDLE> done;
            for (const auto& worker : workers) {
                done.push_back(worker->Done());
                SetEvent(worker->Start());
            }
            if (WaitForMultipleObjects(static_cast<DWORD>(done.size()), done.data(), TRUE, 120000) != WAIT_OBJECT_0)
                AbandonStuckBurst(seed, burst, workers);
            std::printf("storm: burst %d done\n", burst);
            std::fflush(stdout);
        }

        // The launcher's stop: no gesture after the message hooks go, each thread puts its own
        // windows back, then the window-procedure hooks go and the library leaves.
        for (const auto& worker : workers) worker->UnhookMessages();
        const int answered = AskThreadsToPutWindowsBack(5000);
        EXPECT_GE(answered, kThreads);
        std::printf("storm: %d threads answered the put-back request; the workers are", answered);
        for (const auto& worker : workers) std::printf(" %lu", static_cast<unsigned long>(worker->threadId));
        std::printf("\n");
        for (const auto& worker : workers) worker->UnhookWindowProcedures();
        std::vector<Tracked> putBack;
        for (const auto& worker : workers) {
            int notBack = 0, alive = 0;
            for (const Tracked& before : worker->tracked) {
                if (!IsWindow(before.window)) continue;
                putBack.push_back(Track(before.window));
                ++alive;
                if (!SameState(before, putBack.back())) ++notBack;
            }
            if (notBack != 0)
                std::printf("storm: thread %lu: %d of its %d windows not back after the put-back\n",
                            static_cast<unsigned long>(worker->threadId), notBack, alive);
        }
        FreeLibrary(library);  // with every thread's windows back, the detach has nothing left to do
        std::printf("storm: put back and library freed\n");
        std::fflush(stdout);

        for (const auto& worker : workers) {
            sent += worker->sent;
            for (const Tracked& before : worker->tracked)
                if (IsWindow(before.window)) ExpectSame(before, Track(before.window), "before its first gesture");
        }
        for (const Tracked& atPutBack : putBack)
            if (IsWindow(atPutBack.window)) ExpectSame(atPutBack, Track(atPutBack.window), "when put back");
        SetEvent(finish.get());
        for (auto& worker : workers) worker->Join();
        menus = dismisser.menus;
        boxes = dismisser.boxes;
        stalls = dismisser.stalls;
    }
    std::printf("storm: seed %u, %d threads, %d messages, %d menus and %d boxes dismissed, %d Escapes to threads "
                "stalled in one message\n",
                seed, kThreads, sent, menus, boxes, stalls);
}

// Threads that make windows, lift them over a topmost window of their own and destroy them, while
// other threads shade, raise, lift and put back those same windows: a record a thread holds is
// never reset, nor freed, under it.
TEST(Storm, WindowsDestroyedWhileOtherThreadsShadeRaiseAndRestoreThem)
{
    RegistrySandbox::Clear();
    std::atomic<HWND> live[2] = {nullptr, nullptr};
    std::atomic<int> ownersLeft{2}, acted{0}, changed{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 2; ++i)
        threads.emplace_back([&, i] {
            const Hook callWnd(SetWindowsHookExA(WH_CALLWNDPROC, BrackwenCallWndProc, nullptr, GetCurrentThreadId()));
            for (int n = 0; n < 120; ++n) {
                const HWND frame = MakeWindow(WS_OVERLAPPEDWINDOW);
                MakeWindow(WS_POPUP | WS_CAPTION, WS_EX_TOPMOST, frame, {250, 200, 400, 300});
                windowTable.AlwaysOnTop(frame, true);  // its record keeps the owned window on top
                live[i] = frame;
                PumpFor(5);
                live[i] = nullptr;
                DestroyWindow(frame);
            }
            --ownersLeft;
        });
    // A few actions a window each: actions without end would keep its thread answering them for
    // ever (each one is a message sent to it), and never let it go on to destroy the window.
    constexpr int kActionsPerWindow = 6;
    for (unsigned i = 0; i < 3; ++i)
        threads.emplace_back([&, i] {
            std::mt19937 random(StormSeed() + i);
            HWND actedOn[2] = {nullptr, nullptr};
            int actions[2] = {0, 0};
            while (ownersLeft > 0) {
                const unsigned owner = random() % 2;
                const HWND window = live[owner];
                if (window != actedOn[owner]) {
                    actedOn[owner] = window;
                    actions[owner] = 0;
                }
                if (window == nullptr || actions[owner] == kActionsPerWindow) {
                    Sleep(0);
                    continue;
                }
                ++actions[owner];
                const auto record = windowTable.RecordFor(window);  // held as each action holds it
                const int height = record->storedHeight;
                const unsigned pick = random() % 4;
                if (pick == 0) windowTable.ToggleShade(window);
                if (pick == 1) windowTable.RaiseOrSink(window, nullptr);
                if (pick == 2) windowTable.AlwaysOnTop(window, true);
                if (pick == 3) windowTable.RestoreAll();
                ++acted;
                changed += record->storedHeight != height;
            }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(changed, 0) << "records changed under the threads that held them";
    EXPECT_GT(acted, 0);
    std::printf("storm: 240 windows destroyed while %d actions ran on them\n", acted.load());
}

}  // namespace
