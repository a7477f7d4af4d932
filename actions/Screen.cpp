// The window's monitor and DPI, asked of the platform at each action, since windows move between
// monitors and a monitor's DPI may differ from the one the process started with.
#include "actions/Screen.h"

#include "settings/ProcessSettings.h"

namespace mirelunde {

namespace {

constexpr char kUser32[] = "user32.dll";
using DpiForWindow = UINT(WINAPI*)(HWND);
using MetricForDpi = int(WINAPI*)(int, UINT);
using WindowContext = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
using SetThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);

// A function the running system may lack, so it is not imported: the library must load anywhere.
template <typename Function>
Function Lookup(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA(kUser32), name)));
}

struct LargestShare {
    RECT window;
    LONG area = 0;
    RECT work{};
};

BOOL CALLBACK TakeLargerShare(HMONITOR monitor, HDC, LPRECT, LPARAM param) noexcept
{
    auto& share = *reinterpret_cast<LargestShare*>(param);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT common{};
    if (!GetMonitorInfoA(monitor, &info) || !IntersectRect(&common, &info.rcMonitor, &share.window)) return TRUE;
    const LONG area = (common.right - common.left) * (common.bottom - common.top);
    if (area > share.area) {
        share.area = area;
        share.work = info.rcWork;
    }
    return TRUE;
}

}  // namespace

RECT WorkAreaOf(HWND window)
{
    // The shares are compared here, in the caller's coordinates, rather than by MonitorFromWindow:
    // Wine 10 compares a per-monitor aware caller's window with the monitors scaled to the system's
    // DPI, and so takes a window mostly on a monitor of another DPI for one on its neighbour.
    LargestShare share{};
    if (GetWindowRect(window, &share.window) && !IsIconic(window)) {
        EnumDisplayMonitors(nullptr, nullptr, TakeLargerShare, reinterpret_cast<LPARAM>(&share));
        if (share.area > 0) return share.work;
    }
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

int ShadedHeightOf(HWND window)
{
    // Windows 10 version 1607 and later.
    const auto dpiFor = Lookup<DpiForWindow>("GetDpiForWindow");
    const auto metricFor = Lookup<MetricForDpi>("GetSystemMetricsForDpi");
    const UINT dpi = dpiFor && metricFor ? dpiFor(window) : 0;
    if (dpi == 0) return ShadedHeight();
    return metricFor(SM_CYCAPTION, dpi) + 2 * metricFor(SM_CYDLGFRAME, dpi);
}

WindowCoordinates::WindowCoordinates(HWND window)
{
    // Windows 10 version 1607 and later.
    const auto contextOf = Lookup<WindowContext>("GetWindowDpiAwarenessContext");
    const auto setContext = Lookup<SetThreadContext>("SetThreadDpiAwarenessContext");
    if (!contextOf || !setContext) return;
    if (const DPI_AWARENESS_CONTEXT own = contextOf(window)) previous_ = setContext(own);
}

WindowCoordinates::~WindowCoordinates()
{
    if (previous_) Lookup<SetThreadContext>("SetThreadDpiAwarenessContext")(previous_);
}

}  // namespace mirelunde
