// Enumerating monitors for the tests.
#include "tests/support/Monitors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace testing_support {

namespace {

struct Found {
    std::vector<Monitor> monitors;
    Monitor primary{};
};

BOOL CALLBACK Collect(HMONITOR handle, HDC, LPRECT, LPARAM param)
{
    auto& found = *reinterpret_cast<Found*>(param);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(handle, &info)) return TRUE;
    const Monitor monitor{info.rcMonitor, info.rcWork, handle};
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        found.primary = monitor;
    else
        found.monitors.push_back(monitor);
    return TRUE;
}

std::string Text(const RECT& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

}  // namespace

std::vector<Monitor> Monitors()
{
    Found found;
    EnumDisplayMonitors(nullptr, nullptr, Collect, reinterpret_cast<LPARAM>(&found));
    std::ranges::sort(found.monitors, [](const Monitor& a, const Monitor& b) { return a.area.left < b.area.left; });
    found.monitors.insert(found.monitors.begin(), found.primary);
    return found.monitors;
}

std::string Describe(const std::vector<Monitor>& monitors)
{
    std::string text;
    for (const Monitor& monitor : monitors)
        text += (text.empty() ? "" : " ") + Text(monitor.area) + "/" + Text(monitor.work);
    return text;
}

std::string PromisedLayout()
{
    const char* layout = std::getenv("MIRELUNDE_MONITORS");
    return layout ? layout : "";
}

bool FindSecondMonitor(Monitor& second)
{
    const auto monitors = Monitors();
    if (monitors.size() < 2) {
        EXPECT_EQ(PromisedLayout().find(' '), std::string::npos)
            << "the environment promised several monitors: " << PromisedLayout();
        return false;
    }
    second = monitors[1];
    return true;
}

RECT InWork(const Monitor& monitor, LONG dx, LONG dy, LONG width, LONG height)
{
    const LONG left = monitor.work.left + dx, top = monitor.work.top + dy;
    return {left, top, left + width, top + height};
}

RECT Spanning(const Monitor& most, const Monitor& other, LONG width, LONG height)
{
    const LONG top = std::max(most.work.top, other.work.top) + 40;
    const LONG share = width / 4;  // on `other`
    const LONG left = most.area.left >= other.area.right ? most.area.left - share : most.area.right - (width - share);
    return {left, top, left + width, top + height};
}

std::vector<Placement> Placements(LONG width, LONG height)
{
    std::vector<Placement> placements;
    for (const bool aware : {false, true}) {
        if (aware && !PerMonitorAwareWindows()) break;
        const PerMonitorAware scope(aware);
        const auto monitors = Monitors();
        const std::string kind = aware ? ", per-monitor aware" : "";
        for (size_t i = 0; i < monitors.size(); ++i) {
            const Monitor& monitor = monitors[i];
            placements.push_back(
                {"on the monitor at " + Text(monitor.area) + " (" + std::to_string(DpiOf(monitor)) + " DPI)" + kind,
                 InWork(monitor, 100, 80, width, height), monitor.work, aware});
        }
        Monitor second{};
        if (!FindSecondMonitor(second)) continue;
        const Monitor& primary = monitors.front();
        // Monitors of different DPIs lie over each other in the coordinates of a window the system
        // scales: which one holds it across the border is for the system to say.
        if (RECT common{}; IntersectRect(&common, &primary.area, &second.area)) continue;
        placements.push_back(
            {"mostly on the second monitor" + kind, Spanning(second, primary, width, height), second.work, aware});
        placements.push_back(
            {"mostly on the primary monitor" + kind, Spanning(primary, second, width, height), primary.work, aware});
    }
    return placements;
}

namespace {

template <typename Function>
Function User32(const char* name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

using SetThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);

}  // namespace

PerMonitorAware::PerMonitorAware(bool wanted)
{
    const auto set = User32<SetThreadContext>("SetThreadDpiAwarenessContext");
    if (wanted && set) previous_ = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

PerMonitorAware::~PerMonitorAware()
{
    if (previous_) User32<SetThreadContext>("SetThreadDpiAwarenessContext")(previous_);
}

bool PerMonitorAwareWindows()
{
    const bool can = static_cast<bool>(PerMonitorAware());
    const char* promised = std::getenv("MIRELUNDE_DPI");
    EXPECT_TRUE(can || !promised || !std::strchr(promised, ' '))
        << "the environment promised a DPI for each monitor: " << promised;
    return can;
}

UINT DpiOf(const Monitor& monitor)
{
    using ForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    const PerMonitorAware aware;
    const HMODULE shcore = LoadLibraryA("shcore.dll");
    const auto forMonitor =
        shcore ? reinterpret_cast<ForMonitor>(reinterpret_cast<void (*)()>(GetProcAddress(shcore, "GetDpiForMonitor")))
               : nullptr;
    UINT x = 0, y = 0;
    if (!aware || !forMonitor || FAILED(forMonitor(monitor.handle, 0, &x, &y))) {
        const HDC screen = GetDC(nullptr);
        y = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
        ReleaseDC(nullptr, screen);
    }
    return y;
}

UINT PromisedDpi(size_t index)
{
    const char* promised = std::getenv("MIRELUNDE_DPI");
    if (!promised) return 0;
    std::istringstream dpis(promised);
    UINT dpi = 0, last = 0;
    for (size_t i = 0; i <= index && dpis >> dpi; ++i) last = dpi;
    return last;
}

UINT DpiOfWindow(HWND window)
{
    using ForWindow = UINT(WINAPI*)(HWND);
    if (const auto forWindow = User32<ForWindow>("GetDpiForWindow")) return forWindow(window);
    const HDC dc = GetDC(window);
    const UINT dpi = static_cast<UINT>(GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(window, dc);
    return dpi;
}

}  // namespace testing_support
