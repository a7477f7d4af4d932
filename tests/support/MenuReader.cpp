// Popup menus through the window manager: the menu window's class is "#32768", MN_GETHMENU gives
// its menu, and the menu loop takes the keys posted to its thread.
#include "tests/support/MenuReader.h"

#include "settings/Text.h"

#include <cstring>

namespace testing_support {

namespace {

constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU
constexpr DWORD kPollMs = 20;
constexpr DWORD kKeyGapMs = 40;
constexpr DWORD kCloseMs = 1000;

struct Search {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectMenus(HWND window, LPARAM param) noexcept
{
    auto* search = reinterpret_cast<Search*>(param);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && std::strcmp(name, kMenuClass) == 0)
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> PopupMenus(DWORD processId)
{
    Search search{processId, {}};
    EnumWindows(CollectMenus, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

size_t IndexAmongSelectable(const std::vector<MenuItemView>& items, const char* caption, const MenuItemView** found)
{
    size_t index = 0;
    for (const MenuItemView& item : items) {
        if (item.type & MFT_SEPARATOR) continue;
        if (item.text == caption) {
            *found = &item;
            return index;
        }
        ++index;
    }
    *found = nullptr;
    return index;
}

}  // namespace

std::vector<MenuItemView> ReadMenu(HMENU menu)
{
    std::vector<MenuItemView> items;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = ARRAYSIZE(text) - 1;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) continue;
        MenuItemView item;
        item.text = mirelunde::Utf8(text);
        item.type = info.fType;
        item.state = info.fState;
        item.id = info.wID;
        item.hasSubmenu = info.hSubMenu != nullptr;
        if (info.hSubMenu) item.submenu = ReadMenu(info.hSubMenu);
        items.push_back(item);
    }
    return items;
}

std::optional<OpenMenu> WaitForPopupMenu(DWORD processId, DWORD timeoutMs, bool read)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    do {
        const auto menus = PopupMenus(processId);
        if (!menus.empty()) {
            OpenMenu open;
            open.popup = menus.front();
            GetWindowRect(open.popup, &open.rect);
            if (read) {
                const auto menu = reinterpret_cast<HMENU>(SendMessageA(open.popup, kGetMenuHandle, 0, 0));
                if (menu) open.items = ReadMenu(menu);
            }
            return open;
        }
        Sleep(kPollMs);
    } while (GetTickCount64() < deadline);
    return std::nullopt;
}

int VisiblePopupMenus(DWORD processId)
{
    return static_cast<int>(PopupMenus(processId).size());
}

const MenuItemView* FindItem(const std::vector<MenuItemView>& items, const std::vector<const char*>& path)
{
    const std::vector<MenuItemView>* level = &items;
    const MenuItemView* found = nullptr;
    for (const char* caption : path) {
        if (!level) return nullptr;
        IndexAmongSelectable(*level, caption, &found);
        if (!found) return nullptr;
        level = &found->submenu;
    }
    return found;
}

std::vector<WORD> KeysToChoose(const std::vector<MenuItemView>& items, const std::vector<const char*>& path)
{
    std::vector<WORD> keys;
    const std::vector<MenuItemView>* level = &items;
    bool top = true;
    for (const char* caption : path) {
        const MenuItemView* found = nullptr;
        const size_t index = IndexAmongSelectable(*level, caption, &found);
        if (!found) return {};
        // Home highlights the first item of a fresh menu; a submenu opened with Right starts there.
        if (top) keys.push_back(VK_HOME);
        keys.insert(keys.end(), index, VK_DOWN);
        keys.push_back(found->hasSubmenu ? VK_RIGHT : VK_RETURN);
        level = &found->submenu;
        top = false;
    }
    return keys;
}

void PostKeys(HWND popup, const std::vector<WORD>& keys)
{
    const DWORD thread = GetWindowThreadProcessId(popup, nullptr);
    for (WORD key : keys) {
        PostThreadMessageA(thread, WM_KEYDOWN, key, 1);
        PostThreadMessageA(thread, WM_KEYUP, key, 0xC0000001);
        Sleep(kKeyGapMs);
    }
}

MenuAnswerer::MenuAnswerer(DWORD processId, std::vector<const char*> path, DWORD timeoutMs)
{
    HANDLE running = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, processId, path, timeoutMs, running] {
        SetEvent(running);
        seen_ = WaitForPopupMenu(processId, timeoutMs);
        if (!seen_) return;
        std::vector<WORD> keys{VK_ESCAPE};
        if (!path.empty()) keys = KeysToChoose(seen_->items, path);
        if (keys.empty()) keys = {VK_ESCAPE, VK_ESCAPE, VK_ESCAPE, VK_ESCAPE};  // no such item: close every level
        PostKeys(seen_->popup, keys);
        // A grayed item cannot be chosen: the menu stays open until it is dismissed.
        const ULONGLONG deadline = GetTickCount64() + kCloseMs;
        while (VisiblePopupMenus(processId) > 0 && GetTickCount64() < deadline) Sleep(kPollMs);
        while (VisiblePopupMenus(processId) > 0) PostKeys(seen_->popup, {VK_ESCAPE});
    });
    WaitForSingleObject(running, INFINITE);
    CloseHandle(running);
}

MenuAnswerer::~MenuAnswerer()
{
    if (thread_.joinable()) thread_.join();
}

std::optional<OpenMenu> MenuAnswerer::Result()
{
    if (thread_.joinable()) thread_.join();
    return seen_;
}

}  // namespace testing_support
