// Shows a flat table of rows as a nested popup menu at the cursor and returns the chosen number.
#pragma once

#include <windows.h>

#include <cstdint>

namespace mirelunde {

// One row. `text` is a command's caption (UTF-8), or one of the small row kinds below held in the
// same field; for a submenu start, `command` holds the submenu's caption.
struct MenuItemSpec {
    const char* text;
    UINT flags;
    UINT_PTR command;
};

enum class RowKind : uintptr_t { End = 0, Separator = 1, SubmenuStart = 2, SubmenuEnd = 3 };

// Marks of a command row.
inline constexpr UINT kItemChecked = 1;
inline constexpr UINT kItemGrayed = 2;
inline constexpr UINT kItemRadio = 4;

inline MenuItemSpec Row(RowKind kind, const char* caption = nullptr)
{
    return {reinterpret_cast<const char*>(static_cast<uintptr_t>(kind)), 0, reinterpret_cast<UINT_PTR>(caption)};
}

// True for a command row; false for the structural rows.
inline bool IsCommandRow(const MenuItemSpec& row)
{
    return reinterpret_cast<uintptr_t>(row.text) > static_cast<uintptr_t>(RowKind::SubmenuEnd);
}

// Shows the menu owned by `owner`, sends the owner nothing, and returns the chosen row's
// command, or 0 when the menu was dismissed.
UINT_PTR TrackMenuTable(HWND owner, const MenuItemSpec* table);

}  // namespace mirelunde
