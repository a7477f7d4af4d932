// The launcher's wait for the stop request, in process on a redirected registry: messages that wake
// it do not arm the change notification again, and it stops on "HHook" = 0.
#include "launcher/StopWait.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/ImportTable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <future>

using namespace mirelunde;

namespace {

constexpr DWORD kWaitMs = 10000;
constexpr int kMessages = 200;

std::atomic<unsigned> armings{0};
decltype(&RegNotifyChangeKeyValue) realNotify = nullptr;

LONG WINAPI CountedNotify(HKEY key, BOOL subtree, DWORD filter, HANDLE event, BOOL async)
{
    ++armings;
    return realNotify(key, subtree, filter, event, async);
}

// The wait is linked into this executable: its registry calls go through this executable's imports.
void CountArmings()
{
    ASSERT_TRUE(
        testing_support::BindImports(GetModuleHandleA(nullptr), [](const char*, const char* function, void* real) {
            if (std::strcmp(function, "RegNotifyChangeKeyValue") != 0) return real;
            realNotify = reinterpret_cast<decltype(realNotify)>(real);
            return reinterpret_cast<void*>(&CountedNotify);
        }));
    armings = 0;
}

void WriteHHook(DWORD value)
{
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, value));
}

bool Eventually(const std::function<bool()>& condition)
{
    const ULONGLONG deadline = GetTickCount64() + kWaitMs;
    while (!condition())
        if (GetTickCount64() > deadline)
            return false;
        else
            Sleep(10);
    return true;
}

std::atomic<int> handled{0};

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_APP) return ++handled;
    return DefWindowProcA(window, message, wParam, lParam);
}

// A thread with a window of its own that waits for the stop, as the launcher's main thread does.
struct Waiter {
    std::promise<HWND> window;
    std::future<bool> stopped;

    Waiter()
    {
        stopped = std::async(std::launch::async, [this] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = CountingProcedure;
            windowClass.lpszClassName = "StopWaitTest";
            RegisterClassA(&windowClass);
            const HWND own =
                CreateWindowExA(0, "StopWaitTest", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
            window.set_value(own);
            const bool result = WaitForStop(nullptr);
            DestroyWindow(own);
            return result;
        });
    }
    // A test that failed half-way still ends the wait, so the thread can be joined.
    ~Waiter() { WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, 0); }
};

TEST(StopWait, MessagesThatWakeItDoNotArmTheChangeNotificationAgain)
{
    WriteHHook(0x1234);
    CountArmings();
    handled = 0;
    Waiter waiter;
    const HWND window = waiter.window.get_future().get();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Eventually([] { return armings > 0; }));

    // Each sent message wakes the waiting thread, which answers it before the next is sent.
    for (int sent = 0; sent < kMessages; ++sent) SendMessageA(window, WM_APP, 0, 0);
    EXPECT_EQ(handled, kMessages);
    EXPECT_EQ(armings, 1u) << "armed again for messages";

    WriteHHook(0x5678);  // a change, but no stop: armed once more
    ASSERT_TRUE(Eventually([] { return armings == 2; }));
    EXPECT_EQ(waiter.stopped.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
    WriteHHook(0);
    ASSERT_EQ(waiter.stopped.wait_for(std::chrono::milliseconds(kWaitMs)), std::future_status::ready);
    EXPECT_TRUE(waiter.stopped.get());
    EXPECT_LE(armings, 3u) << "armed more often than notified";  // 2 when the last read already saw the 0
}

}  // namespace
