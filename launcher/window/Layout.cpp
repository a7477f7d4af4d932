// The room each control's text needs, and inserting that room along each axis: room inserted at a
// point moves everything from there on and widens whatever spans the point, so columns stay
// aligned and group boxes keep holding what they held.
#include "launcher/window/Layout.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace mirelunde {

namespace {

// Margins beside a text, in dialog units: a check box's box and gap, a button's edges, a label's gap.
constexpr int kCheckBoxRoom = 14;
constexpr int kButtonRoom = 10;
constexpr int kGroupBoxRoom = 12;
constexpr int kEditRoom = 6;
constexpr int kComboRoom = 6;
constexpr int kLabelRoom = 2;

struct Item {
    HWND window = nullptr;
    RECT rect{};  // in the dialog's client area
    int needWidth = 0;
    int needHeight = 0;
    bool wraps = false;
    bool dialog = false;
    bool button = false;     // a push button
    bool bottomRow = false;  // a push button below everything else, as OK and Cancel are
    SIZE grown{};
};

// Room to insert along one axis: a span from `from` to `to` needs at least `need`.
struct Span {
    int from;
    int to;
    int need;
};

using Insertions = std::map<int, int>;  // point: room inserted there

Insertions Insert(std::vector<Span> spans)
{
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.to < b.to; });
    Insertions made;
    for (const Span& span : spans) {
        int have = span.to - span.from;
        for (const auto& [point, room] : made)
            if (point > span.from && point <= span.to) have += room;
        if (span.need > have) made[span.to] += span.need - have;
    }
    return made;
}

int Moved(int at, const Insertions& insertions)
{
    int moved = at;
    for (const auto& [point, room] : insertions)
        if (point <= at) moved += room;
    return moved;
}

std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool IsClass(HWND window, const wchar_t* name)
{
    wchar_t found[32] = {};
    GetClassNameW(window, found, ARRAYSIZE(found));
    return CompareStringOrdinal(found, -1, name, -1, TRUE) == CSTR_EQUAL;
}

// The text's extent in the control's font: on one line, or wrapped at `width`.
SIZE Extent(HWND control, const std::wstring& text, UINT format, int width = 0)
{
    const HDC dc = GetDC(control);
    if (dc == nullptr) return {};
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
    RECT rect{0, 0, width, 0};
    DrawTextW(dc, text.empty() ? L" " : text.c_str(), text.empty() ? 1 : static_cast<int>(text.size()), &rect,
              format | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {text.empty() ? 0 : rect.right - rect.left, rect.bottom - rect.top};
}

int Units(HWND dialog, int units)
{
    RECT rect{0, 0, units, 0};
    MapDialogRect(dialog, &rect);
    return rect.right;
}

int WidestItem(HWND combo)
{
    int widest = 0;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length <= 0) continue;
        std::wstring item(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<size_t>(length));
        widest = std::max<int>(widest, Extent(combo, item, DT_SINGLELINE | DT_NOPREFIX).cx);
    }
    return widest;
}

// The buttons below everything else keep their gaps and their side: those right of the middle stay
// as far from the right edge as they were, the others from the left.
void PlaceBottomRow(std::vector<Item>& items, int oldWidth, int newWidth)
{
    std::vector<Item*> row;
    for (Item& item : items)
        if (item.bottomRow) row.push_back(&item);
    std::sort(row.begin(), row.end(), [](const Item* a, const Item* b) { return a->rect.left < b->rect.left; });
    int leftEdge = 0;  // where the left-hand buttons have come to, from the left
    int leftWas = 0;
    for (Item* item : row) {
        if (item->rect.left + item->rect.right > oldWidth) break;
        const int width = std::max<int>(item->rect.right - item->rect.left, item->needWidth);
        const int left = leftEdge + (item->rect.left - leftWas);
        leftWas = item->rect.right;
        item->rect = {left, item->rect.top, left + width, item->rect.bottom};
        leftEdge = item->rect.right;
    }
    int rightEdge = newWidth;
    int rightWas = oldWidth;
    for (auto at = row.rbegin(); at != row.rend(); ++at) {
        Item* item = *at;
        if (item->rect.left + item->rect.right <= oldWidth) break;
        const int width = std::max<int>(item->rect.right - item->rect.left, item->needWidth);
        const int right = rightEdge - (rightWas - item->rect.right);
        rightWas = item->rect.left;
        item->rect = {right - width, item->rect.top, right, item->rect.bottom};
        rightEdge = item->rect.left;
    }
}

// The width the control's text needs, and whether it wraps instead.
void Measure(HWND dialog, Item& item)
{
    const HWND control = item.window;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const int width = item.rect.right - item.rect.left;
    if (IsClass(control, L"Button")) {
        const std::wstring text = TextOf(control);
        if (text.empty()) return;
        const int extent = Extent(control, text, DT_SINGLELINE).cx;
        switch (style & BS_TYPEMASK) {
        case BS_GROUPBOX: item.needWidth = extent + Units(dialog, kGroupBoxRoom); break;
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            item.needWidth = extent + Units(dialog, kButtonRoom);
            item.button = true;
            break;
        default: item.needWidth = extent + Units(dialog, kCheckBoxRoom); break;
        }
    } else if (IsClass(control, L"Static")) {
        const LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT) return;
        const UINT prefix = (style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0;
        const std::wstring text = TextOf(control);
        const int line = Extent(control, L"X", DT_SINGLELINE).cy;
        item.wraps = item.rect.bottom - item.rect.top >= 2 * line;
        // A wrapped text needs only room for its longest word.
        item.needWidth = item.wraps ? Extent(control, text, DT_WORDBREAK | prefix, width).cx
                                    : Extent(control, text, DT_SINGLELINE | prefix).cx + Units(dialog, kLabelRoom);
    } else if (IsClass(control, L"Edit")) {
        item.needWidth = Extent(control, TextOf(control), DT_SINGLELINE | DT_NOPREFIX).cx + Units(dialog, kEditRoom);
    } else if (IsClass(control, L"ComboBox")) {
        item.needWidth = WidestItem(control) + GetSystemMetrics(SM_CXVSCROLL) + Units(dialog, kComboRoom);
    }
}

}  // namespace

SIZE FitToTexts(HWND dialog)
{
    RECT client{};
    GetClientRect(dialog, &client);
    std::vector<Item> items;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        Item item;
        item.window = child;
        GetWindowRect(child, &item.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&item.rect), 2);
        items.push_back(item);
    }
    int above = 0;  // the bottom of everything but push buttons
    for (Item& item : items) {
        item.dialog = IsClass(item.window, L"#32770");
        if (item.dialog) {
            item.grown = FitToTexts(item.window);
            item.needWidth = item.rect.right - item.rect.left + item.grown.cx;
        } else {
            Measure(dialog, item);
        }
        if (!item.button) above = std::max<int>(above, item.rect.bottom);
    }
    std::vector<Span> across;
    for (Item& item : items) {
        item.bottomRow = item.button && item.rect.top >= above;
        if (!item.bottomRow) across.push_back({item.rect.left, item.rect.right, item.needWidth});
    }
    const Insertions x = Insert(across);
    PlaceBottomRow(items, client.right, Moved(client.right, x));
    std::vector<Span> down;
    for (Item& item : items) {
        if (!item.bottomRow) {
            item.rect.left = Moved(item.rect.left, x);
            item.rect.right = item.dialog ? item.rect.left + item.needWidth : Moved(item.rect.right, x);
        }
        if (item.dialog) {
            item.needHeight = item.rect.bottom - item.rect.top + item.grown.cy;
        } else if (item.wraps) {
            const UINT prefix = (GetWindowLongW(item.window, GWL_STYLE) & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0;
            item.needHeight =
                Extent(item.window, TextOf(item.window), DT_WORDBREAK | prefix, item.rect.right - item.rect.left).cy;
        }
        down.push_back({item.rect.top, item.rect.bottom, item.needHeight});
    }
    const Insertions y = Insert(down);
    for (const Item& item : items) {
        const int top = Moved(item.rect.top, y);
        // A child dialog keeps the size it made itself.
        int height = item.dialog ? item.needHeight : Moved(item.rect.bottom, y) - top;
        // A drop-down list's height is its list's too: room for every row.
        if (IsClass(item.window, L"ComboBox"))
            height += static_cast<int>(SendMessageW(item.window, CB_GETCOUNT, 0, 0) *
                                       SendMessageW(item.window, CB_GETITEMHEIGHT, 0, 0)) +
                      2 * GetSystemMetrics(SM_CYBORDER);
        SetWindowPos(item.window, nullptr, item.rect.left, top, item.rect.right - item.rect.left, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const SIZE grown{Moved(client.right, x) - client.right, Moved(client.bottom, y) - client.bottom};
    if (grown.cx == 0 && grown.cy == 0) return grown;
    RECT window{};
    GetWindowRect(dialog, &window);
    SIZE size{window.right - window.left + grown.cx, window.bottom - window.top + grown.cy};
    if ((GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD) != 0) {
        SetWindowPos(dialog, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        return grown;
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    const int left = std::max<int>(area.left, std::min<int>(window.left - grown.cx / 2, area.right - size.cx));
    const int top = std::max<int>(area.top, std::min<int>(window.top - grown.cy / 2, area.bottom - size.cy));
    SetWindowPos(dialog, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    return grown;
}

}  // namespace mirelunde
