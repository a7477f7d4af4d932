// The popup menu builder: rows are appended in table order, submenus nest like brackets.
#include "menu/PopupMenu.h"

#include "settings/Handles.h"
#include "settings/Text.h"

#include <optional>
#include <vector>

namespace mirelunde {

namespace {

constexpr size_t kLongestItemText = 256;
constexpr UINT kTrackFlags = TPM_RIGHTALIGN | TPM_VCENTERALIGN | TPM_NONOTIFY | TPM_RETURNCMD;

RowKind KindOf(const MenuItemSpec& row)
{
    const auto value = reinterpret_cast<uintptr_t>(row.text);
    return value <= static_cast<uintptr_t>(RowKind::SubmenuEnd) ? static_cast<RowKind>(value) : RowKind::End;
}

// Appends one item; `position` is never smaller than the menu's item count, so the item lands at the end.
bool Insert(HMENU menu, UINT position, const MenuItemSpec& row, HMENU submenu)
{
    std::optional<WideText<kLongestItemText>> text;
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE | (submenu ? MIIM_SUBMENU : 0);
    item.wID = static_cast<UINT>(row.command);
    item.hSubMenu = submenu;
    if (IsCommandRow(row)) {
        item.fType = (row.flags & kItemRadio) ? MFT_RADIOCHECK : MFT_STRING;
        item.fState = ((row.flags & kItemChecked) ? MFS_CHECKED : 0) | ((row.flags & kItemGrayed) ? MFS_GRAYED : 0);
        text.emplace(row.text);
        item.dwTypeData = const_cast<wchar_t*>(static_cast<const wchar_t*>(*text));
    } else if (KindOf(row) == RowKind::Separator) {
        item.fType = MFT_SEPARATOR;
    } else {
        item.fType = MFT_STRING;
        text.emplace(reinterpret_cast<const char*>(row.command));
        item.dwTypeData = const_cast<wchar_t*>(static_cast<const wchar_t*>(*text));
    }
    return InsertMenuItemW(menu, position, TRUE, &item) != FALSE;
}

}  // namespace

UINT_PTR TrackMenuTable(HWND owner, const MenuItemSpec* table)
{
    Menu top(CreatePopupMenu());
    HMENU current = top.get();
    std::vector<HMENU> parents;
    UINT position = 0;
    for (const MenuItemSpec* row = table; IsCommandRow(*row) || KindOf(*row) != RowKind::End; ++row, ++position) {
        if (IsCommandRow(*row)) {
            Insert(current, position, *row, nullptr);
            continue;
        }
        switch (KindOf(*row)) {
        case RowKind::SubmenuStart: {
            // A submenu that could not be made or attached is destroyed with nothing in it: the
            // rows up to its end stay in this menu, where they can still be seen and chosen.
            Menu submenu(CreatePopupMenu());
            parents.push_back(current);
            if (submenu && Insert(current, position, *row, submenu.get())) current = submenu.release();
            break;
        }
        case RowKind::Separator: Insert(current, position, *row, nullptr); break;
        case RowKind::SubmenuEnd:
            if (!parents.empty()) {
                current = parents.back();
                parents.pop_back();
            }
            break;
        case RowKind::End: break;
        }
    }

    POINT cursor{};
    GetCursorPos(&cursor);
    // An unbalanced table shows its innermost open submenu.
    return static_cast<UINT_PTR>(TrackPopupMenu(current, kTrackFlags, cursor.x, cursor.y, 0, owner, nullptr));
}

}  // namespace mirelunde
