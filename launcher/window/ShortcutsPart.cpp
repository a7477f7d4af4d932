// The "Shortcuts" part: fields that take the keys pressed in them, their states, and the writes of OK
// and Apply.
#include "launcher/window/ShortcutsPart.h"

#include "launcher/Hotkeys.h"
#include "launcher/LauncherTexts.h"
#include "launcher/window/Dialogs.h"
#include "launcher/window/ShortcutIds.h"
#include "settings/Language.h"
#include "settings/Text.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <iterator>

namespace mirelunde {

namespace {

constexpr UINT_PTR kFieldSubclass = 1;
// Where the part sits in the settings window, in its dialog units: on the second page.
constexpr RECT kPlace{14, 25, 0, 0};

bool Down(int key)
{
    return GetKeyState(key) < 0;
}

bool IsModifierKey(WPARAM key)
{
    switch (key) {
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL:
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU:
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT:
    case VK_LWIN:
    case VK_RWIN: return true;
    default: return false;
    }
}

UINT HeldModifiers()
{
    return (Down(VK_CONTROL) ? MOD_CONTROL : 0) | (Down(VK_MENU) ? MOD_ALT : 0) | (Down(VK_SHIFT) ? MOD_SHIFT : 0) |
           (Down(VK_LWIN) || Down(VK_RWIN) ? MOD_WIN : 0);
}

// Tab, Enter and Esc with nothing but Shift move through the window and close it, as everywhere.
bool IsDialogKey(const MSG& msg)
{
    constexpr WPARAM kEscape = 0x1B;
    const bool key =
        msg.message == WM_KEYDOWN && (msg.wParam == VK_TAB || msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
    const bool character =
        msg.message == WM_CHAR && (msg.wParam == '\t' || msg.wParam == '\r' || msg.wParam == kEscape);
    return (key || character) && !Down(VK_CONTROL) && !Down(VK_LWIN) && !Down(VK_RWIN);
}

// A field shows the keys pressed in it rather than typing them.
LRESULT CALLBACK FieldProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) noexcept
{
    try {
        switch (message) {
        case WM_GETDLGCODE: {
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            const LRESULT code = DefSubclassProc(field, message, wParam, lParam);
            if (msg != nullptr && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN ||
                                   msg->message == WM_CHAR || msg->message == WM_SYSCHAR))
                return IsDialogKey(*msg) ? code : code | DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (!IsModifierKey(wParam)) {
                const std::string text = ShortcutText({HeldModifiers(), static_cast<UINT>(wParam)});
                if (!text.empty()) SetWindowTextW(field, Wide(text).c_str());
            }
            return 0;
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_DEADCHAR:
        case WM_SYSDEADCHAR:
        case WM_KEYUP:
        case WM_SYSKEYUP: return 0;
        case WM_NCDESTROY: RemoveWindowSubclass(field, FieldProcedure, kFieldSubclass); break;
        default: break;
        }
    } catch (...) {
        return 0;
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

std::string FieldText(HWND part, size_t row)
{
    char text[MAX_PATH] = {};
    GetDlgItemTextA(part, IDC_SHORTCUT_FIELD0 + static_cast<int>(row), text, sizeof text);
    return text;
}

}  // namespace

void ShortcutsPart::Open(HWND settingsWindow, HWND after)
{
    window_ = settingsWindow;
    part_ = CreateChildDialog(IDD_SHORTCUTS, settingsWindow, Procedure, reinterpret_cast<LPARAM>(this));
    if (part_ == nullptr) return;
    SetWindowLongPtrA(part_, GWLP_ID, IDC_SHORTCUTS_PART);
    EnableThemeDialogTexture(part_, ETDT_ENABLETAB);
    RECT place = kPlace;
    MapDialogRect(settingsWindow, &place);
    SetWindowPos(part_, after, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    SetControlText(part_, IDC_SHORTCUTS_GROUP, Text(texts::kShortcuts));
    SetControlText(part_, IDC_SHORTCUTS_RULE, Text(texts::kShortcutsRule));
    // The longest of the suggested shortcuts, and the longest state, which names a key at most.
    const std::string widestKey = ShortcutText({MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_NEXT});
    const std::string keyName = ShortcutText({0, VK_NEXT});
    std::string widestState = Text(texts::kShortcutTaken);
    for (const UINT format : {texts::kShortcutNotAKeyFormat, texts::kShortcutNeedsModifierFormat})
        if (const std::string state = Format(Text(format), keyName.c_str()); state.size() > widestState.size())
            widestState = state;
    loading_ = true;
    for (size_t row = 0; row < kShortcutCount; ++row) {
        const int offset = static_cast<int>(row);
        SetControlText(part_, IDC_SHORTCUT_LABEL0 + offset, Text(texts::kFirstShortcutLabel + static_cast<UINT>(row)));
        SetControlText(part_, IDC_SHORTCUT_CLEAR0 + offset, Text(texts::kClear));
        SetControlText(part_, IDC_SHORTCUT_FIELD0 + offset, widestKey);
        SetControlText(part_, IDC_SHORTCUT_STATE0 + offset, widestState);
        SetWindowSubclass(GetDlgItem(part_, IDC_SHORTCUT_FIELD0 + offset), FieldProcedure, kFieldSubclass, 0);
    }
    loading_ = false;
}

void ShortcutsPart::Load()
{
    if (part_ == nullptr) return;
    const auto stored = ReadShortcuts();
    loading_ = true;
    for (size_t row = 0; row < kShortcutCount; ++row) {
        stored_[row] = shown_[row] = stored[row].text;
        SetControlText(part_, IDC_SHORTCUT_FIELD0 + static_cast<int>(row), stored[row].text);
        ShowState(row);
    }
    loading_ = false;
}

void ShortcutsPart::ShowState(size_t row) const
{
    const StoredShortcut parsed = ParseShortcut(shown_[row]);
    std::string state;
    if (parsed.fault == ShortcutFault::NotAKey) {
        state = Format(Text(texts::kShortcutNotAKeyFormat), parsed.part.c_str());
    } else if (parsed.fault == ShortcutFault::NeedsModifier) {
        state = Format(Text(texts::kShortcutNeedsModifierFormat), parsed.part.c_str());
    } else if (const Hotkeys* hotkeys = RegisteredHotkeys(); hotkeys != nullptr && parsed.Set() &&
                                                             hotkeys->Key(row) == parsed.key &&
                                                             hotkeys->State(row) == HotkeyState::Taken) {
        state = Text(texts::kShortcutTaken);
    }
    SetControlText(part_, IDC_SHORTCUT_STATE0 + static_cast<int>(row), state);
}

void ShortcutsPart::Write(std::string& failures)
{
    if (part_ == nullptr) return;
    bool written = false;
    for (size_t row = 0; row < kShortcutCount; ++row) {
        if (shown_[row] == stored_[row]) continue;
        if (WriteShortcut(static_cast<ShortcutCommand>(row), shown_[row]))
            written = true;
        else
            failures += Format(Text(texts::kNotWrittenFormat), names::kShortcutValues[row]) + "\n";
    }
    if (Hotkeys* hotkeys = RegisteredHotkeys(); hotkeys != nullptr && written) hotkeys->Reload();
    Load();
}

void ShortcutsPart::OnCommand(int control, int code)
{
    const int fieldRow = control - IDC_SHORTCUT_FIELD0;
    const int clearRow = control - IDC_SHORTCUT_CLEAR0;
    if (clearRow >= 0 && static_cast<size_t>(clearRow) < kShortcutCount && code == BN_CLICKED) {
        SetControlText(part_, IDC_SHORTCUT_FIELD0 + clearRow, "");
        return;
    }
    if (fieldRow < 0 || static_cast<size_t>(fieldRow) >= kShortcutCount || code != EN_CHANGE || loading_) return;
    shown_[static_cast<size_t>(fieldRow)] = FieldText(part_, static_cast<size_t>(fieldRow));
    ShowState(static_cast<size_t>(fieldRow));
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDC_SHORTCUTS_PART, EN_CHANGE), reinterpret_cast<LPARAM>(part_));
}

INT_PTR CALLBACK ShortcutsPart::Procedure(HWND part, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(part, DWLP_USER, lParam);
            return FALSE;
        }
        auto* self = reinterpret_cast<ShortcutsPart*>(GetWindowLongPtrA(part, DWLP_USER));
        if (message != WM_COMMAND || self == nullptr) return FALSE;
        self->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    } catch (...) {
        return TRUE;
    }
}

}  // namespace mirelunde
