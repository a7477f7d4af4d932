// Message boxes of any text length, and boxes that must be closed before a test goes on.
#pragma once

#include "tests/support/ModalBox.h"

#include <windows.h>

#include <string>
#include <vector>

namespace commands_test {

// The box's message: the text of its non-icon static control, however long.
inline std::string FullText(HWND box)
{
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char kind[16] = {};
        GetClassNameA(child, kind, sizeof kind);
        if (lstrcmpiA(kind, "Static") != 0 || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
        const LRESULT length = SendMessageA(child, WM_GETTEXTLENGTH, 0, 0);
        std::string part(static_cast<size_t>(length) + 1, '\0');
        part.resize(
            static_cast<size_t>(SendMessageA(child, WM_GETTEXT, part.size(), reinterpret_cast<LPARAM>(part.data()))));
        text += part;
    }
    return text;
}

struct BoxSearch {
    DWORD processId;
    std::vector<HWND> found;
};

inline BOOL CALLBACK CollectBox(HWND window, LPARAM param) noexcept
{
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char kind[16] = {};
    GetClassNameA(window, kind, sizeof kind);
    if (owner == search->processId && IsWindowVisible(window) && lstrcmpA(kind, "#32770") == 0)
        search->found.push_back(window);
    return TRUE;
}

// The visible message boxes of a process.
inline std::vector<HWND> VisibleBoxes(DWORD processId)
{
    BoxSearch search{processId, {}};
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Presses a button of the box and waits until the box is gone, so the next search finds the next box.
inline bool Answer(HWND box, int buttonId)
{
    testing_support::MessageBoxView view;
    view.window = box;
    if (!testing_support::PressButton(view, buttonId)) return false;
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (IsWindow(box)) {
        if (GetTickCount64() > deadline) return false;
        Sleep(25);
    }
    return true;
}

// Enter as a person presses it: to the control that has the keyboard focus in the box.
inline bool PressEnter(HWND box)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info) || info.hwndFocus == nullptr) return false;
    PostMessageA(info.hwndFocus, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(info.hwndFocus, WM_KEYUP, VK_RETURN, 0xC0000001);
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (IsWindow(box)) {
        if (GetTickCount64() > deadline) return false;
        Sleep(25);
    }
    return true;
}

}  // namespace commands_test
