// The recording window class and message pumping.
#include "tests/support/TestWindows.h"

#include <map>
#include <mutex>

namespace testing_support {

namespace {

constexpr char kClassName[] = "MirelundeRecordingFrame";

std::map<HWND, std::vector<Received>>& Log()
{
    static std::map<HWND, std::vector<Received>> log;
    return log;
}

// Windows of several threads record at once.
std::mutex& LogLock()
{
    static std::mutex lock;
    return lock;
}

bool IsNonClientMouse(UINT message)
{
    return message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK;
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    {
        std::lock_guard<std::mutex> guard(LogLock());
        Log()[window].push_back({message, wParam, rect});
    }
    // Non-client clicks are only recorded: the default handling would maximize or open menus.
    if (IsNonClientMouse(message)) return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterOnce()
{
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kClassName;
        return RegisterClassA(&wc) != 0;
    }();
    (void)registered;
}

}  // namespace

std::vector<Received>& ReceivedBy(HWND window)
{
    std::lock_guard<std::mutex> guard(LogLock());
    return Log()[window];
}

void ForgetReceived()
{
    std::lock_guard<std::mutex> guard(LogLock());
    Log().clear();
}

bool WasReceived(HWND window, UINT message)
{
    std::lock_guard<std::mutex> guard(LogLock());
    for (const Received& received : Log()[window])
        if (received.message == message) return true;
    return false;
}

HWND MakeWindow(DWORD style, DWORD exStyle, HWND parent, RECT rect)
{
    RegisterOnce();
    const HWND window =
        CreateWindowExA(exStyle, kClassName, "Recording frame", style, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window && !(style & WS_CHILD)) ShowWindow(window, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOWNOACTIVATE);
    return window;
}

HWND MakeControl(const char* className, HWND parent)
{
    return CreateWindowExA(0, className, "control", WS_CHILD | WS_VISIBLE, 10, 10, 120, 24, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (GetTickCount64() > deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

RECT WindowRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

int Height(HWND window)
{
    const RECT rect = WindowRect(window);
    return rect.bottom - rect.top;
}

}  // namespace testing_support
