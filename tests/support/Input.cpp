// SendInput wrappers, and left Alt through the X server under Wine.
#include "tests/support/Input.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

namespace {

constexpr DWORD kSettleMs = 30;
constexpr DWORD kXKeyMs = 2000;
constexpr DWORD kXFocusMs = 3000;

bool throughTheXServer = false;

void Send(std::vector<INPUT>& inputs)
{
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(kSettleMs);
}

// The middle of the point's pixel, in the normalized coordinates (65536 across) of the virtual screen.
LONG Normalized(LONG coordinate, int origin, int extent)
{
    return static_cast<LONG>(((coordinate - origin) * 2LL + 1) * 65536 / (2LL * extent));
}

INPUT MouseAt(POINT point, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = Normalized(point.x, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN));
    input.mi.dy = Normalized(point.y, GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    return input;
}

INPUT Key(WORD vk, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_RMENU || vk == VK_RCONTROL) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;  // the right-hand keys
    return input;
}

ULONG_PTR XWindowOf(HWND window)
{
    return reinterpret_cast<ULONG_PTR>(GetPropA(window, "__wine_x11_whole_window"));
}

// Runs shell commands at once, as Wine runs a Unix program. Wine leaves the handles it returns for
// such a program unset (whatever was on its stack): they are never closed, and CREATE_SUSPENDED keeps
// Wine from resuming the thread that such a handle may name. There is nothing to wait on: the caller
// waits for what the commands do.
bool RunInTheXServer(const std::string& commands)
{
    std::string line = "Z:\\bin\\sh -c \"" + commands + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                          &info) != FALSE;
}

// Waits for the condition with the message wait, which lets this thread read the X events of its own
// windows.
template <typename Condition>
bool WaitWithMessages(DWORD limitMs, Condition condition)
{
    for (const DWORD start = GetTickCount(); GetTickCount() - start < limitMs;) {
        if (condition()) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
}

// The key goes to the window with the X focus, which a window brought to the front from another
// program may not have: the X focus is moved to the foreground window first, so that the key goes
// where keys sent as input go. The key's arrival in the system's key state says that the program ran
// and that the window has read the key.
bool XServerAlt(bool down)
{
    // A window that is closing may refuse the focus: the key goes all the same.
    std::string commands;
    if (const ULONG_PTR xWindow = XWindowOf(GetForegroundWindow()))
        commands = "/usr/bin/xdotool windowfocus " + std::to_string(xWindow) + " 2>/dev/null; ";
    commands += std::string("exec /usr/bin/xdotool ") + (down ? "keydown" : "keyup") + " Alt_L";
    return RunInTheXServer(commands) &&
           WaitWithMessages(kXKeyMs, [&] { return (GetAsyncKeyState(VK_MENU) < 0) == down; });
}

// Sends the keys, left Alt through the X server when that is on; an Alt that did not come through
// is sent here, and said. Scroll Lock has no modifier in the X server's keyboard here, and Wine sets
// its Scroll Lock toggle to the X server's at each key it reads from X: Alt let go through X would
// toggle it back, a second Alt+Scroll Lock. So a chord with Scroll Lock is all input.
void SendKeys(const std::vector<std::pair<WORD, bool>>& keys)
{
    const bool altThroughX = throughTheXServer && std::none_of(keys.begin(), keys.end(),
                                                               [](const auto& key) { return key.first == VK_SCROLL; });
    std::vector<INPUT> inputs;
    for (const auto& [vk, up] : keys) {
        if (altThroughX && (vk == VK_MENU || vk == VK_LMENU)) {
            if (!inputs.empty()) Send(inputs);
            inputs.clear();
            if (XServerAlt(!up)) continue;
            std::printf("Alt %s did not come through the X server: sent as input\n", up ? "up" : "down");
        }
        inputs.push_back(Key(vk, up));
    }
    if (!inputs.empty()) Send(inputs);
}

}  // namespace

void UseTheXServer()
{
    throughTheXServer = true;
}

void GiveTheXFocusToTheForegroundWindow()
{
    const ULONG_PTR xWindow = XWindowOf(GetForegroundWindow());
    if (!throughTheXServer || !xWindow) return;
    // The shell says whether the focus was elsewhere, once the X server has given it (--sync) or
    // after 2 s (a window that is closing may refuse it).
    const std::string id = std::to_string(xWindow);
    const std::string name = "mirelunde-xfocus." + std::to_string(GetCurrentProcessId());
    const std::string done = "/tmp/" + name, donePath = "Z:\\tmp\\" + name;
    DeleteFileA(donePath.c_str());
    if (!RunInTheXServer("f=$(/usr/bin/xdotool getwindowfocus 2>/dev/null); test x$f = x" + id +
                         " || timeout 2 /usr/bin/xdotool windowfocus --sync " + id + " 2>/dev/null; echo $f > " + done +
                         ".part; mv " + done + ".part " + done))
        return;
    if (!WaitWithMessages(kXFocusMs, [&] { return GetFileAttributesA(donePath.c_str()) != INVALID_FILE_ATTRIBUTES; })) {
        std::printf("the X focus was not given to the foreground window\n");
        return;
    }
    char had[32] = {};
    if (FILE* file = std::fopen(donePath.c_str(), "r")) {
        std::fgets(had, sizeof had, file);
        std::fclose(file);
    }
    DeleteFileA(donePath.c_str());
    const unsigned long long before = std::strtoull(had, nullptr, 10);
    if (before != xWindow)
        std::printf("the X focus was in another X window (%llu): given to the foreground window's\n", before);
}

void Click(POINT point, Button button, int times)
{
    const DWORD down = button == Button::Left    ? MOUSEEVENTF_LEFTDOWN
                       : button == Button::Right ? MOUSEEVENTF_RIGHTDOWN
                                                 : MOUSEEVENTF_MIDDLEDOWN;
    std::vector<INPUT> inputs;
    for (int i = 0; i < times; ++i) {
        inputs.push_back(MouseAt(point, down));
        inputs.push_back(MouseAt(point, down << 1));  // each button's up flag is its down flag shifted once
    }
    Send(inputs);
}

void Chord(std::initializer_list<WORD> keys)
{
    std::vector<std::pair<WORD, bool>> sequence;
    for (WORD vk : keys) sequence.emplace_back(vk, false);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) sequence.emplace_back(*it, true);
    SendKeys(sequence);
}

void PressKey(WORD vk)
{
    SendKeys({{vk, false}});
}

void ReleaseKey(WORD vk)
{
    SendKeys({{vk, true}});
}

void SetKeyState(WORD vk, bool down)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[vk] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

POINT CaptionPoint(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, rect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
}

POINT CloseButtonPoint(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    const int frame = GetSystemMetrics(SM_CXFRAME);
    return {rect.right - frame - GetSystemMetrics(SM_CXSIZE) / 2 - 1,
            rect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
}

}  // namespace testing_support
