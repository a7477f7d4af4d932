// The settings window: its choices as the library reads them, what a click changes in the window,
// and the writes of OK and Apply through the settings layer's names.
#include "launcher/window/SettingsWindow.h"

#include "commands/Login.h"
#include "commands/SettingsRequest.h"
#include "hook/Exports.h"
#include "launcher/ElevatedStart.h"
#include "launcher/Elevation.h"
#include "launcher/LauncherTexts.h"
#include "launcher/Output.h"
#include "launcher/window/DialogIds.h"
#include "launcher/window/Dialogs.h"
#include "launcher/window/Layout.h"
#include "launcher/window/ProgramList.h"
#include "launcher/window/ShortcutIds.h"
#include "launcher/window/ShortcutsPart.h"
#include "menu/MenuTexts.h"
#include "settings/Language.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

namespace mirelunde {

namespace {

constexpr char kDialogClass[] = "#32770";
// What the window ends with when Apply changed the language: it opens again, in the new one.
constexpr INT_PTR kOpenAgain = 100;
constexpr LANGID kWindowsChoice = 0;
enum Page : int { kGeneralPage, kShortcutsPage, kPageCount };

// A choice shown as a check box: its text and access key, and its value in the settings key.
struct CheckChoice {
    int control;
    UINT text;
    char key;
    const char* name;
    bool whenAbsent;
    bool readAtAttach;  // read as each process starts: a value that is not a DWORD counts as absent
};

constexpr CheckChoice kChecks[] = {
    {IDC_RIGHT_CLICK_SHADES, texts::kShadeOnRight, 'n', names::kRightClickShades, true, false},
    {IDC_SINK_ON_MIDDLE, texts::kSinkOnMiddle, 'm', names::kSinkOnMiddle, false, false},
    {IDC_TWO_BUTTON_MOUSE, texts::kTwoButtonMouse, 'T', names::kTwoButtonMouse, true, true},
    {IDC_KEYBOARD, texts::kKeyboardShortcuts, 'K', names::kEnableKeyboard, true, false},
    {IDC_HUG_STRETCH, texts::kStretchyHugging, 'h', names::kHugStretch, false, false},
    {IDC_SYSTEM_MENU, texts::kSystemMenu, 'y', names::kAddToSystemMenu, true, true},
};
enum Check : size_t { kRightClick, kSinkOnMiddle, kTwoButton, kKeyboard, kHugStretch, kSystemMenu };
static_assert(std::size(kChecks) == kSystemMenu + 1);

struct Choices {
    bool doubleClickMaximizes = false;
    std::array<bool, std::size(kChecks)> checks{};
    bool runAtLogin = false;
    bool elevatedStart = false;        // the task that starts the launcher as administrator at logon
    LANGID language = kWindowsChoice;  // of the tables
    bool operator==(const Choices&) const = default;
};

Choices ReadChoices()
{
    const RegReader settings(HKEY_CURRENT_USER, names::kSettingsKey);
    Choices choices;
    DWORD invert = 0;
    settings.Dword(names::kInvertDoubleClicks, invert);
    choices.doubleClickMaximizes = invert != 0;
    for (size_t i = 0; i < std::size(kChecks); ++i) {
        DWORD value = kChecks[i].whenAbsent ? 1 : 0;
        const bool read = settings.Dword(kChecks[i].name, value);
        choices.checks[i] = kChecks[i].readAtAttach && !read ? kChecks[i].whenAbsent : value != 0;
    }
    choices.elevatedStart = ElevatedStartOn();
    // The task sets the login entry aside, to put it back as it goes: so it shows when the task does.
    char entry[kLoginEntryBytes];
    choices.runAtLogin =
        IsRunAtLogin() || (choices.elevatedStart && settings.String(names::kLoginEntrySetAside, entry, sizeof entry));
    char tag[LOCALE_NAME_MAX_LENGTH * 3] = {};
    if (settings.String(names::kLanguage, tag, sizeof tag)) choices.language = TableLanguageOf(tag);
    return choices;
}

// Windows' choice first, then the languages of the tables, English first.
std::vector<LANGID> LanguageRows()
{
    std::vector<LANGID> rows = TextLanguages();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.insert(rows.begin(), kWindowsChoice);
    return rows;
}

bool WriteChoice(const char* name, bool on, std::string& failures)
{
    if (WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, name, on ? 1 : 0)) return true;
    failures += Format(Text(texts::kNotWrittenFormat), name) + "\n";
    return false;
}

// Shows the page's controls: the general choices or the "Shortcuts" part. The buttons stay; a control
// that had the keys and is hidden now gives them to the page tabs.
void ShowPage(HWND dialog, int page)
{
    const HWND focus = GetFocus();
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (id == IDC_PAGES || id == IDOK || id == IDCANCEL || id == IDC_APPLY) continue;
        ShowWindow(child, (id == IDC_SHORTCUTS_PART) == (page == kShortcutsPage) ? SW_SHOWNA : SW_HIDE);
    }
    if (focus != nullptr && IsChild(dialog, focus) && !IsWindowVisible(focus))
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_PAGES)), TRUE);
}

// Ctrl+Tab and Ctrl+PageDown show the next page, with Shift or PageUp the one before, as in every
// window with pages; a shortcut field takes them as the keys it is given.
LRESULT CALLBACK PageKeys(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg != nullptr && msg->message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0 &&
        (msg->wParam == VK_TAB || msg->wParam == VK_NEXT || msg->wParam == VK_PRIOR)) {
        const HWND dialog = GetAncestor(msg->hwnd, GA_ROOT);
        const HWND pages = dialog != nullptr ? GetDlgItem(dialog, IDC_PAGES) : nullptr;
        wchar_t type[16] = {};
        GetClassNameW(msg->hwnd, type, ARRAYSIZE(type));
        if (pages != nullptr && CompareStringOrdinal(type, -1, L"Edit", -1, TRUE) != CSTR_EQUAL) {
            const bool back = msg->wParam == VK_PRIOR || (msg->wParam == VK_TAB && GetKeyState(VK_SHIFT) < 0);
            const int page = (TabCtrl_GetCurSel(pages) + (back ? kPageCount - 1 : 1)) % kPageCount;
            TabCtrl_SetCurSel(pages, page);
            ShowPage(dialog, page);
            return TRUE;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Brings a settings window, or the box it shows, to the front.
void BringUp(HWND window)
{
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(GetLastActivePopup(window));
}

HWND FindSettingsWindow()
{
    return FindWindowW(Wide(kDialogClass).c_str(), Wide(Text(texts::kSettingsCaption)).c_str());
}

class SettingsWindow {
public:
    explicit SettingsWindow(const std::string& loginOptions) : loginOptions_(loginOptions) {}

    void Open(HWND dialog);
    void OnCommand(HWND dialog, int control, int code);

private:
    void Show(HWND dialog) const;
    Choices FromControls(HWND dialog) const;
    bool Apply(HWND dialog);
    void SwitchElevatedStart(HWND dialog, std::string& failures) const;
    void UpdateApply(HWND dialog) const;

    std::string loginOptions_;
    std::vector<LANGID> languages_ = LanguageRows();
    bool elevatedStartOffered_ = ElevatedStartOffered();
    bool languageChanged_ = false;
    Choices written_;  // as read when the window opened, or after the last Apply
    Choices shown_;
    // The programs left alone, and beside them the programs kept on top, whose "Add ..." has no
    // access key left: Tab reaches it from the list.
    std::array<ProgramList, 2> lists_{
        ProgramList{names::kExcludedPrograms,
                    {IDC_EXCLUDED_LABEL, IDC_EXCLUDED_LIST, IDC_EXCLUDED_ADD, IDC_EXCLUDED_REMOVE, IDC_EXCLUDED_FAULT,
                     Text(texts::kExcludedProgramsLabel), 'P', 'd', 'R'}},
        ProgramList{names::kProgramsKeptOnTop,
                    {IDC_KEPT_LABEL, IDC_KEPT_LIST, IDC_KEPT_ADD, IDC_KEPT_REMOVE, IDC_KEPT_FAULT,
                     Text(texts::kKeptOnTopLabel), 'o', 0, 'e'}}};
    ShortcutsPart shortcuts_;
};

void SettingsWindow::Open(HWND dialog)
{
    SetWindowTextW(dialog, Wide(Text(texts::kSettingsCaption)).c_str());
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    for (const auto& [size, which] : {std::pair{SM_CXICON, ICON_BIG}, std::pair{SM_CXSMICON, ICON_SMALL}}) {
        const int side = GetSystemMetrics(size);
        SendMessageA(dialog, WM_SETICON, which,
                     reinterpret_cast<LPARAM>(
                         LoadImageA(instance, MAKEINTRESOURCEA(kIconGroup), IMAGE_ICON, side, side, LR_SHARED)));
    }
    const HWND pages = GetDlgItem(dialog, IDC_PAGES);
    for (const UINT name : {texts::kGeneral, texts::kShortcuts}) {
        std::wstring text = Wide(Text(name));
        TCITEMW page{};
        page.mask = TCIF_TEXT;
        page.pszText = text.data();
        SendMessageW(pages, TCM_INSERTITEMW, TabCtrl_GetItemCount(pages), reinterpret_cast<LPARAM>(&page));
    }
    // Under the controls it frames, and last in the keyboard's order; the window's ground is the pages'.
    SetWindowPos(pages, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EnableThemeDialogTexture(dialog, ETDT_ENABLETAB);
    SetControlText(dialog, IDC_MOUSE_GROUP, Text(texts::kMouse));
    SetControlText(dialog, IDC_DOUBLE_CLICK_LABEL, Text(texts::kLeftDoubleClick));
    SetControlText(dialog, IDC_DOUBLE_CLICK_SHADES, Text(texts::kShade), 'S');
    SetControlText(dialog, IDC_DOUBLE_CLICK_MAXIMIZES, Text(texts::kMaximize), 'x');
    SetControlText(dialog, IDC_OPTIONS_GROUP, Text(texts::kOptions));
    for (const CheckChoice& check : kChecks) SetControlText(dialog, check.control, Text(check.text), check.key);
    SetControlText(dialog, IDC_RUN_AT_LOGIN, Text(texts::kRunAtLogin), 'l');
    SetControlText(dialog, IDC_ELEVATED_START, Text(texts::kElevatedStartRow), 'u');
    SetControlText(dialog, IDC_LANGUAGE_LABEL, Text(texts::kLanguageLabel), 'g');
    const HWND languages = GetDlgItem(dialog, IDC_LANGUAGE);
    for (const LANGID language : languages_) {
        const std::wstring name = language == kWindowsChoice ? Wide(Text(texts::kWindowsChoice))
                                                             : std::wstring(TextIn(texts::kLanguageName, language));
        SendMessageW(languages, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SetControlText(dialog, IDC_TAKES_EFFECT,
                   Format(Text(texts::kTakesEffectFormat), WithoutAccessKey(Text(texts::kTwoButtonMouse)).c_str(),
                          WithoutAccessKey(Text(texts::kSystemMenu)).c_str()));
    SetControlText(dialog, IDOK, Text(texts::kOk));
    SetControlText(dialog, IDCANCEL, Text(texts::kCancel));
    SetControlText(dialog, IDC_APPLY, Text(texts::kApply), 'A');
    written_ = shown_ = ReadChoices();
    for (ProgramList& list : lists_) list.Load(dialog);
    shortcuts_.Open(dialog, GetDlgItem(dialog, IDC_TAKES_EFFECT));
    FitToTexts(dialog);
    shortcuts_.Load();
    ShowPage(dialog, kGeneralPage);
    Show(dialog);
    SetForegroundWindow(dialog);
}

void SettingsWindow::Show(HWND dialog) const
{
    CheckRadioButton(dialog, IDC_DOUBLE_CLICK_SHADES, IDC_DOUBLE_CLICK_MAXIMIZES,
                     shown_.doubleClickMaximizes ? IDC_DOUBLE_CLICK_MAXIMIZES : IDC_DOUBLE_CLICK_SHADES);
    for (size_t i = 0; i < std::size(kChecks); ++i)
        CheckDlgButton(dialog, kChecks[i].control, shown_.checks[i] ? BST_CHECKED : BST_UNCHECKED);
    // As the command menu shows it: in two-button mode the right button opens the menu, and the
    // System Menu item is not added whatever its own value says.
    const bool twoButton = shown_.checks[kTwoButton];
    if (twoButton) CheckDlgButton(dialog, IDC_SYSTEM_MENU, BST_CHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_SYSTEM_MENU), !twoButton);
    // The task starts Mirelunde at login in the entry's place: checked, and changed only through the
    // task's row, since turning the task off brings back the entry as it was.
    CheckDlgButton(dialog, IDC_RUN_AT_LOGIN, shown_.runAtLogin || shown_.elevatedStart ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_RUN_AT_LOGIN), !shown_.elevatedStart);
    CheckDlgButton(dialog, IDC_ELEVATED_START, shown_.elevatedStart ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_ELEVATED_START), elevatedStartOffered_);
    const auto row = std::find(languages_.begin(), languages_.end(), shown_.language);
    SendDlgItemMessageW(dialog, IDC_LANGUAGE, CB_SETCURSEL, row == languages_.end() ? 0 : row - languages_.begin(), 0);
    UpdateApply(dialog);
}

Choices SettingsWindow::FromControls(HWND dialog) const
{
    Choices choices = shown_;
    choices.doubleClickMaximizes = IsDlgButtonChecked(dialog, IDC_DOUBLE_CLICK_MAXIMIZES) == BST_CHECKED;
    for (size_t i = 0; i < std::size(kChecks); ++i)
        if (IsWindowEnabled(GetDlgItem(dialog, kChecks[i].control)))
            choices.checks[i] = IsDlgButtonChecked(dialog, kChecks[i].control) == BST_CHECKED;
    if (IsWindowEnabled(GetDlgItem(dialog, IDC_RUN_AT_LOGIN)))
        choices.runAtLogin = IsDlgButtonChecked(dialog, IDC_RUN_AT_LOGIN) == BST_CHECKED;
    if (IsWindowEnabled(GetDlgItem(dialog, IDC_ELEVATED_START)))
        choices.elevatedStart = IsDlgButtonChecked(dialog, IDC_ELEVATED_START) == BST_CHECKED;
    const LRESULT row = SendDlgItemMessageW(dialog, IDC_LANGUAGE, CB_GETCURSEL, 0, 0);
    if (row >= 0 && static_cast<size_t>(row) < languages_.size())
        choices.language = languages_[static_cast<size_t>(row)];
    // As the command menu does: with the middle click sinking, the System Menu item is the mouse's
    // way to the menu.
    if (choices.checks[kSinkOnMiddle] && !shown_.checks[kSinkOnMiddle]) choices.checks[kSystemMenu] = true;
    return choices;
}

void SettingsWindow::UpdateApply(HWND dialog) const
{
    const bool listChanged =
        std::any_of(lists_.begin(), lists_.end(), [](const ProgramList& list) { return list.Changed(); });
    EnableWindow(GetDlgItem(dialog, IDC_APPLY), !(shown_ == written_) || listChanged || shortcuts_.Changed());
}

void SettingsWindow::SwitchElevatedStart(HWND dialog, std::string& failures) const
{
    const bool on = shown_.elevatedStart;
    // A launcher that is not elevated runs `--elevated` as administrator, and the system asks the user
    // first; one who declines has said so, and the row goes back to what is stored.
    if (RunsElevated())
        SetElevatedStart(on, loginOptions_);
    else if (SetElevatedStartAsAdministrator(on, loginOptions_, dialog) == -1)
        return;
    if (ElevatedStartOn() != on) failures += Format(Text(texts::kNotWrittenFormat), ElevatedStartTask().c_str()) + "\n";
}

bool SettingsWindow::Apply(HWND dialog)
{
    for (const ProgramList& list : lists_)
        if (!list.MayWrite(dialog)) return false;
    std::string failures;
    if (shown_.doubleClickMaximizes != written_.doubleClickMaximizes)
        WriteChoice(names::kInvertDoubleClicks, shown_.doubleClickMaximizes, failures);
    for (size_t i = 0; i < std::size(kChecks); ++i)
        if (shown_.checks[i] != written_.checks[i]) WriteChoice(kChecks[i].name, shown_.checks[i], failures);
    // The task sets aside the login entry as it comes and puts it back as it goes: the entry is written
    // before the one and after the other.
    const bool elevatedSwitched = shown_.elevatedStart != written_.elevatedStart;
    if (elevatedSwitched && !shown_.elevatedStart) SwitchElevatedStart(dialog, failures);
    if ((shown_.runAtLogin != written_.runAtLogin || elevatedSwitched) && IsRunAtLogin() != shown_.runAtLogin) {
        // The same entry the icon's menu writes, with the options this launcher was started with.
        RunAtLogin(shown_.runAtLogin, loginOptions_.c_str());
        if (IsRunAtLogin() != shown_.runAtLogin)
            failures += Format(Text(texts::kNotWrittenFormat), names::kRunEntry) + "\n";
    }
    if (elevatedSwitched && shown_.elevatedStart) SwitchElevatedStart(dialog, failures);
    if (shown_.language != written_.language) {
        // Windows' choice is an empty value, as earlier versions read it too.
        const std::string tag = shown_.language == kWindowsChoice ? std::string() : TagOf(shown_.language);
        if (WriteRegString(HKEY_CURRENT_USER, names::kSettingsKey, names::kLanguage, tag.c_str()))
            languageChanged_ = true;
        else
            failures += Format(Text(texts::kNotWrittenFormat), names::kLanguage) + "\n";
    }
    for (const ProgramList& list : lists_)
        if (!list.Write()) failures += Format(Text(texts::kNotWrittenFormat), list.ValueName()) + "\n";
    shortcuts_.Write(failures);
    // What is stored now, whoever else wrote meanwhile.
    written_ = shown_ = ReadChoices();
    for (ProgramList& list : lists_) list.Load(dialog);
    Show(dialog);
    if (failures.empty()) return true;
    MessageBoxText(dialog, failures.c_str(), names::kCaption, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void SettingsWindow::OnCommand(HWND dialog, int control, int code)
{
    switch (control) {
    case IDOK:
        if (Apply(dialog)) EndDialog(dialog, IDOK);
        return;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return;
    case IDC_APPLY:
        if (Apply(dialog) && languageChanged_) {
            EndDialog(dialog, kOpenAgain);
            return;
        }
        // Apply is grayed now: the keys go on from OK.
        if (GetFocus() == GetDlgItem(dialog, IDC_APPLY))
            SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDOK)), TRUE);
        return;
    case IDC_SHORTCUTS_PART: UpdateApply(dialog); return;
    case IDC_LANGUAGE:
        if (code == CBN_SELCHANGE) {
            shown_ = FromControls(dialog);
            Show(dialog);
        }
        return;
    default: break;
    }
    if (std::any_of(lists_.begin(), lists_.end(),
                    [&](ProgramList& list) { return list.OnCommand(dialog, control, code); })) {
        UpdateApply(dialog);
    } else if (code == BN_CLICKED) {
        shown_ = FromControls(dialog);
        Show(dialog);
    }
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            reinterpret_cast<SettingsWindow*>(lParam)->Open(dialog);
            return TRUE;
        }
        if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->idFrom == IDC_PAGES &&
            reinterpret_cast<const NMHDR*>(lParam)->code == TCN_SELCHANGE) {
            ShowPage(dialog, TabCtrl_GetCurSel(GetDlgItem(dialog, IDC_PAGES)));
            return TRUE;
        }
        auto* window = reinterpret_cast<SettingsWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (message != WM_COMMAND || window == nullptr) return FALSE;
        window->OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    } catch (...) {
        return TRUE;
    }
}

}  // namespace

void ShowSettingsWindow(HWND owner, const std::string& loginOptions)
{
    ChooseTextLanguageAgain();
    if (const HWND open = FindSettingsWindow()) {
        BringUp(open);
        return;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    const HHOOK pageKeys = SetWindowsHookExW(WH_MSGFILTER, PageKeys, nullptr, GetCurrentThreadId());
    // Every text is taken as the window opens, so a new language shows in a window opened anew.
    for (;;) {
        SettingsWindow window(loginOptions);
        if (RunDialog(IDD_SETTINGS, owner, Procedure, reinterpret_cast<LPARAM>(&window)) != kOpenAgain) break;
        ChooseTextLanguageAgain();
    }
    if (pageKeys != nullptr) UnhookWindowsHookEx(pageKeys);
}

int RunSettingsCommand(const std::string& loginOptions)
{
    if (const HWND open = FindSettingsWindow()) {
        BringUp(open);
        Say(Text(texts::kSettingsWindowOpen));
        return 0;
    }
    if (AskForSettingsWindow()) {
        Say(Text(texts::kSettingsShownByRunning));
        return 0;
    }
    ShowSettingsWindow(nullptr, loginOptions);
    return 0;
}

}  // namespace mirelunde
