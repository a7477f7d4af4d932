// SendInput wrappers.
#include "tests/support/Input.h"

#include <vector>

namespace testing_support {

namespace {

constexpr DWORD kSettleMs = 30;

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

}  // namespace

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
    std::vector<INPUT> inputs;
    for (WORD vk : keys) inputs.push_back(Key(vk, false));
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) inputs.push_back(Key(*it, true));
    Send(inputs);
}

void PressKey(WORD vk)
{
    std::vector<INPUT> inputs{Key(vk, false)};
    Send(inputs);
}

void ReleaseKey(WORD vk)
{
    std::vector<INPUT> inputs{Key(vk, true)};
    Send(inputs);
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
