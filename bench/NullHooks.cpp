// The do-nothing global hook pair the message-pump measure compares the launcher's hooks with.
#include <windows.h>

extern "C" LRESULT CALLBACK NullGetMsgProc(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

extern "C" LRESULT CALLBACK NullCallWndProc(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
