// A small program for end-to-end tests: one frame with an edit control. It reports on standard
// output what a user of it could see happen: its window handle, its height when asked to close, and
// each key release it takes from its queue.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr char kClassName[] = "MirelundeTargetApp";
// Stops the program in its window procedure for good: the case of a hang whose report is checked.
constexpr UINT kHangMessage = WM_APP + 1;

void Report(const char* format, long value)
{
    char line[64];
    const int length = std::snprintf(line, sizeof line, format, value);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 10, 10, 200, 60, window,
                        nullptr, nullptr, nullptr);
        return 0;
    case WM_CLOSE: {
        RECT rect{};
        GetWindowRect(window, &rect);
        Report("close %ld\n", rect.bottom - rect.top);
        break;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case kHangMessage: Sleep(INFINITE); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);

    const bool maximized = std::strstr(commandLine, "maximized") != nullptr;
    const HWND window = CreateWindowExA(0, kClassName, "Mirelunde target", WS_OVERLAPPEDWINDOW, 120, 100, 480, 360,
                                        nullptr, nullptr, instance, nullptr);
    ShowWindow(window, maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    Report("window %ld\n", static_cast<long>(reinterpret_cast<INT_PTR>(window)));

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) Report("keyup %ld\n", static_cast<long>(msg.wParam));
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
