// Reads a popup menu while it is tracked, the way a person sees it, and answers it with keys.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// The class of a popup menu's window.
inline constexpr char kMenuClass[] = "#32768";

struct MenuItemView {
    std::string text;
    UINT type = 0;   // MFT_*
    UINT state = 0;  // MFS_*
    UINT id = 0;
    std::vector<MenuItemView> submenu;
    bool hasSubmenu = false;
};

struct OpenMenu {
    HWND popup = nullptr;
    RECT rect{};  // where it opened
    std::vector<MenuItemView> items;
};

std::vector<MenuItemView> ReadMenu(HMENU menu);
// Waits for a visible popup menu window of a process; it must belong to that process to be read.
std::optional<OpenMenu> WaitForPopupMenu(DWORD processId, DWORD timeoutMs, bool read = true);
// How many popup menu windows of the process are visible now.
int VisiblePopupMenus(DWORD processId);

// The keys that choose the item at `path` (captions from the top menu down) in a freshly opened menu.
std::vector<WORD> KeysToChoose(const std::vector<MenuItemView>& items, const std::vector<const char*>& path);

// Posts key presses to the thread that tracks the menu, one after the other.
void PostKeys(HWND popup, const std::vector<WORD>& keys);

// On a thread of its own: waits for the process's next popup menu, reads it, then chooses the item
// at `path`, or dismisses the menu with Escape when `path` is empty.
class MenuAnswerer {
public:
    MenuAnswerer(DWORD processId, std::vector<const char*> path, DWORD timeoutMs = 10000);
    ~MenuAnswerer();
    MenuAnswerer(const MenuAnswerer&) = delete;
    MenuAnswerer& operator=(const MenuAnswerer&) = delete;

    std::optional<OpenMenu> Result();

private:
    std::optional<OpenMenu> seen_;
    std::thread thread_;
};

const MenuItemView* FindItem(const std::vector<MenuItemView>& items, const std::vector<const char*>& path);

}  // namespace testing_support
