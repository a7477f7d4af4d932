// The window's monitor and DPI, asked of the platform at each action, since windows move between
// monitors and a monitor's DPI may differ from the one the process started with.
#include "actions/Screen.h"

#include "settings/ProcessSettings.h"

namespace mirelunde {

namespace {

constexpr char kUser32[] = "user32.dll";
using DpiForWindow = UINT(WINAPI*)(HWND);
using MetricForDpi = int(WINAPI*)(int, UINT);

// A function the running system may lack, so it is not imported: the library must load anywhere.
template <typename Function>
Function Lookup(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA(kUser32), name)));
}

}  // namespace

RECT WorkAreaOf(HWND window)
{
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

}  // namespace mirelunde
