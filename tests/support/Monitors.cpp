// Enumerating monitors for the tests.
#include "tests/support/Monitors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

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
    const Monitor monitor{info.rcMonitor, info.rcWork};
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
    const auto monitors = Monitors();
    std::vector<Placement> placements;
    for (const Monitor& monitor : monitors)
        placements.push_back(
            {"on the monitor at " + Text(monitor.area), InWork(monitor, 100, 80, width, height), monitor.work});
    Monitor second{};
    if (!FindSecondMonitor(second)) return placements;
    const Monitor& primary = monitors.front();
    placements.push_back({"mostly on the second monitor", Spanning(second, primary, width, height), second.work});
    placements.push_back({"mostly on the primary monitor", Spanning(primary, second, width, height), primary.work});
    return placements;
}

}  // namespace testing_support
