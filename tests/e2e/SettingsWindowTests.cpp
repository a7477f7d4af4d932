// The settings window of the real launcher, opened by `--settings`, the command menu and the icon,
// read as a person sees it and worked with real keys; and what its choices then do in other programs.
#include "launcher/LauncherTexts.h"
#include "launcher/window/DialogIds.h"
#include "launcher/window/ShortcutIds.h"
#include "menu/MenuTexts.h"
#include "settings/Language.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/ShortcutKeys.h"
#include "settings/Text.h"
#include "tests/e2e/Session.h"
#include "tests/support/Input.h"
#include "tests/support/MenuReader.h"
#include "tests/support/Paths.h"
#include "tests/support/UserLanguage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace e2e {
namespace {

constexpr char kDialogClass[] = "#32770";

using RawValue = std::pair<DWORD, std::string>;

std::map<std::string, RawValue> KeyValues()
{
    std::map<std::string, RawValue> values;
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return values;
    char name[512];
    for (DWORD index = 0, length = sizeof name;
         RegEnumValueA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++index, length = sizeof name) {
        // As the ANSI functions give it, as SetRaw writes it.
        RawValue& value = values[name];
        DWORD size = 0;
        RegQueryValueExA(key.get(), name, nullptr, &value.first, nullptr, &size);
        value.second.resize(size);
        RegQueryValueExA(key.get(), name, nullptr, &value.first, reinterpret_cast<BYTE*>(value.second.data()), &size);
        value.second.resize(size);
    }
    return values;
}

void SetRaw(const char* name, DWORD type, const std::string& bytes)
{
    RegKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

void SetText(const char* name, const std::string& text)
{
    SetRaw(name, REG_SZ, text + '\0');
}

// Every value but the launcher's hook handles, so each choice is as it is when nothing was stored.
void ClearChoices()
{
    RegKey key;
    RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, key.put());
    for (const auto& [name, value] : KeyValues())
        if (name != names::kHHook && name != names::kHWndHook) RegDeleteValueA(key.get(), name.c_str());
    SetRunEntry(std::nullopt);
}

HWND WaitForDialog(const char* caption)
{
    HWND window = nullptr;
    const std::wstring wide = Wide(caption);
    WaitUntil([&] { return (window = FindWindowW(L"#32770", wide.c_str())) != nullptr && IsWindowVisible(window); },
              kStartMs);
    return window;
}

DWORD ProcessOf(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

LRESULT Ask(HWND window, int control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(window, control), message, wParam, lParam, SMTO_ABORTIFHUNG, kStopMs, &result);
    return static_cast<LRESULT>(result);
}

bool Checked(HWND window, int control)
{
    return Ask(window, control, BM_GETCHECK) == BST_CHECKED;
}

std::vector<std::string> Rows(HWND window, int control = IDC_EXCLUDED_LIST)
{
    std::vector<std::string> rows;
    const HWND list = GetDlgItem(window, control);
    for (LRESULT row = 0, count = Ask(window, control, LB_GETCOUNT); row < count; ++row) {
        // The wide form: Wine hands another process's rows to the ANSI form cut short.
        WCHAR wide[1024] = {};
        DWORD_PTR length = 0;
        SendMessageTimeoutW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, kStopMs, &length);
        rows.push_back(Utf8(wide));
    }
    return rows;
}

std::string Text(HWND window, int control)
{
    wchar_t text[1024] = {};
    GetWindowTextW(GetDlgItem(window, control), text, ARRAYSIZE(text));
    return Utf8(text);
}

int FocusedControl(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0;
}

// The texts of the tests' own process, and the launchers', in the language `tag` names.
void UseLanguage(const std::string& tag)
{
    SetText(names::kLanguage, tag);
    ChooseTextLanguageAgain();
}

// Asked of the control: another process's GetWindowText sees an edit control's first text only.
std::wstring WideText(HWND control)
{
    wchar_t text[1024] = {};
    SendMessageTimeoutW(control, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kStopMs,
                        nullptr);
    return text;
}

std::vector<std::wstring> ComboRows(HWND combo)
{
    std::vector<std::wstring> rows;
    for (LRESULT row = 0, count = SendMessageW(combo, CB_GETCOUNT, 0, 0); row < count; ++row) {
        wchar_t text[256] = {};
        SendMessageW(combo, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text));
        rows.push_back(text);
    }
    return rows;
}

bool IsClass(HWND window, const char* name)
{
    char found[32] = {};
    GetClassNameA(window, found, sizeof found);
    return lstrcmpiA(found, name) == 0;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

// What a person sees of a window's texts: each text of a control (the rows of a drop-down list too)
// that does not fit the control in the font the window is shown in, and each access key used twice.
// The font is the one the dialog manager makes for the message font's size in points.
std::vector<std::string> TextsThatDoNotFit(HWND window)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    LOGFONTW shape = metrics.lfMessageFont;
    shape.lfHeight = -MulDiv(MulDiv(std::abs(shape.lfHeight), 72, dpi), dpi, 72);
    const HFONT font = CreateFontIndirectW(&shape);
    const HGDIOBJ old = SelectObject(dc, font);
    const auto pixels = [&](int at96) { return MulDiv(at96, dpi, 96); };
    const auto extent = [&](const std::wstring& text, UINT format, int width = 0) {
        RECT rect{0, 0, width, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT);
        return SIZE{rect.right, rect.bottom};
    };
    const int line = extent(L"X", DT_SINGLELINE).cy;
    std::vector<std::string> faults;
    std::wstring keys;
    std::vector<HWND> controls;
    EnumChildWindows(window, CollectWindow, reinterpret_cast<LPARAM>(&controls));
    for (const HWND control : controls) {  // on both pages
        RECT rect{}, parent{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
        GetClientRect(GetParent(control), &parent);
        const std::wstring text = WideText(control);
        const std::string name = "control " + std::to_string(GetDlgCtrlID(control)) + " \"" + Utf8(text) + "\"";
        if (rect.left < 0 || rect.top < 0 || rect.right > parent.right || rect.bottom > parent.bottom)
            faults.push_back(name + " lies outside its window");
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        const int width = rect.right - rect.left, height = rect.bottom - rect.top;
        bool prefix = true;
        int room = 0;
        if (IsClass(control, "ComboBox")) {
            for (const std::wstring& row : ComboRows(control))
                if (extent(row, DT_SINGLELINE | DT_NOPREFIX).cx + GetSystemMetrics(SM_CXVSCROLL) > width)
                    faults.push_back(name + ": row \"" + Utf8(row) + "\" is cut");
            continue;
        }
        if (text.empty()) continue;
        if (IsClass(control, "Button")) {
            const LONG type = style & BS_TYPEMASK;
            room = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ? pixels(6)
                   : type == BS_GROUPBOX                             ? pixels(10)
                                                                     : pixels(17);  // the box and its gap
        } else if (IsClass(control, "Static")) {
            prefix = (style & SS_NOPREFIX) == 0;
            if (height >= 2 * line) {
                const SIZE wrapped = extent(text, DT_WORDBREAK | (prefix ? 0 : DT_NOPREFIX), width);
                if (wrapped.cx > width || wrapped.cy > height) faults.push_back(name + " does not wrap into its lines");
                room = -1;
            }
        } else if (IsClass(control, "Edit")) {
            prefix = false;
            RECT client{};
            GetClientRect(control, &client);
            room = pixels(4) + width - client.right;  // its margins and border
        } else {
            continue;
        }
        if (room >= 0) {
            const SIZE size = extent(text, DT_SINGLELINE | (prefix ? 0 : DT_NOPREFIX));
            if (size.cx + room > width || size.cy > height)
                faults.push_back(name + " is cut: " + std::to_string(size.cx + room) + " of " + std::to_string(width) +
                                 " pixels");
        }
        if (!prefix) continue;
        for (size_t at = text.find(L'&'); at != std::wstring::npos && at + 1 < text.size();
             at = text.find(L'&', at + 2)) {
            if (text[at + 1] == L'&') continue;
            wchar_t key = text[at + 1];
            CharUpperBuffW(&key, 1);
            if (keys.find(key) != std::wstring::npos) faults.push_back(name + " repeats an access key");
            keys += key;
            break;
        }
    }
    RECT outer{};
    GetWindowRect(window, &outer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT inside{};
    if (!IntersectRect(&inside, &outer, &monitor.rcWork) || !EqualRect(&inside, &outer))
        faults.push_back("the window does not fit its work area");
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return faults;
}

int SettingsWindows()
{
    int count = 0;
    const std::wstring caption = Wide(mirelunde::Text(texts::kSettingsCaption));
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"#32770", caption.c_str()));) ++count;
    return count;
}

class SettingsWindow : public LauncherSession {
protected:
    // Starts `mirelunde.exe --settings` and waits for the window, in front.
    HWND Open()
    {
        command_ = Start(LauncherPath() + " --settings");
        const HWND window = WaitForDialog(mirelunde::Text(texts::kSettingsCaption));
        if (window) {
            Activate(window);
            LetFocusSettle();  // Wine maps a new window, and tells its program so, a moment later
        }
        return window;
    }

    // Presses keys in the window and waits until what they do shows.
    static bool Keys(std::initializer_list<WORD> keys, const std::function<bool()>& done)
    {
        Chord(keys);
        return WaitUntil(done, kActionMs);
    }

    // Chooses OK (Enter) or Cancel (Escape); whether the window and the process that showed it ended.
    bool Close(HWND window, WORD key)
    {
        return Keys({key}, [&] { return !IsWindow(window); }) && (!command_ || command_->WaitForExit(kStopMs) == 0);
    }

    void TearDown() override
    {
        // Found by their captions in the language they opened in, then the tests' own is put back.
        // The window "Add ..." opened first: the settings window ends only after it.
        for (const char* caption :
             {mirelunde::Text(texts::kAddProgramCaption), mirelunde::Text(texts::kSettingsCaption)})
            if (const HWND open = FindWindowW(L"#32770", Wide(caption).c_str())) {
                PostMessageA(open, WM_CLOSE, 0, 0);
                WaitUntil([&] { return !IsWindow(open); }, kStopMs);
            }
        RequestStop();
        if (launcher_) {
            EXPECT_EQ(launcher_->WaitForExit(kStopMs), 0);
        }
        RegKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
            RegDeleteValueA(key.get(), names::kLanguage);
        ChooseTextLanguageAgain();
    }

    RunEntrySnapshot entry_;
    std::unique_ptr<Process> command_;
    std::unique_ptr<Process> launcher_;
};

// In the language of the run (scripts/test runs this under a German and a Japanese Wine as well):
// the caption, the labels, and the access keys as that language marks them.
TEST_F(SettingsWindow, ShowsItsTextsInTheUsersLanguage)
{
    ExpectTheLanguageOfTheRun();
    ClearChoices();
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Text(window, IDC_OPTIONS_GROUP), mirelunde::Text(texts::kOptions));
    EXPECT_EQ(Text(window, IDC_MOUSE_GROUP), mirelunde::Text(texts::kMouse));
    const bool english = TextLanguage() == MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    EXPECT_EQ(Text(window, IDC_APPLY), english ? std::string("&Apply") : mirelunde::Text(texts::kApply));
    EXPECT_EQ(Text(window, IDC_KEYBOARD),
              english ? std::string("&Keyboard shortcuts") : mirelunde::Text(texts::kKeyboardShortcuts));
    EXPECT_EQ(Text(window, IDCANCEL), mirelunde::Text(texts::kCancel));
    EXPECT_TRUE(Close(window, VK_ESCAPE));
}

// In every language of the tables, as "Language" chooses it: every text of the window and of the
// window "Add ..." opens fits its control, and no access key serves twice.
TEST_F(SettingsWindow, EveryTextFitsAndEachAccessKeyServesOnceInEveryLanguage)
{
    ClearChoices();
    // The longest of the suggested shortcuts, in its field; the key goes with the case.
    const std::string shortcuts = std::string(kKey) + "\\" + names::kShortcuts;
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, shortcuts.c_str(), names::kShortcutValues[0], "Ctrl+Alt+Shift+PageDown"));
    const struct Cleared {
        std::string path;
        ~Cleared() { RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str()); }
    } cleared{shortcuts};
    const std::vector<LANGID> languages = TextLanguages();
    EXPECT_EQ(languages.size(), 11u);
    for (const LANGID language : languages) {
        const std::string tag = TagOf(language);
        SCOPED_TRACE(tag);
        UseLanguage(tag);
        const HWND window = Open();
        ASSERT_NE(window, nullptr) << "no window captioned " << mirelunde::Text(texts::kSettingsCaption);
        EXPECT_EQ(Text(window, IDC_MOUSE_GROUP), mirelunde::Text(texts::kMouse));
        EXPECT_EQ(TextsThatDoNotFit(window), std::vector<std::string>{});
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_EXCLUDED_ADD, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_EXCLUDED_ADD)));
        const HWND picker = WaitForDialog(mirelunde::Text(texts::kAddProgramCaption));
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(TextsThatDoNotFit(picker), std::vector<std::string>{}) << "in the window \"Add ...\" opens";
        PostMessageA(picker, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(picker); }, kActionMs));
        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(window); }, kActionMs));
        EXPECT_EQ(command_->WaitForExit(kStopMs), 0);
    }
}

// An unknown "Language" shows Windows' choice; German chosen with OK is the running launcher's at
// once (the window its icon's menu opens is German), and Windows' choice chosen with Apply stores an
// empty value and opens the window again in English.
TEST_F(SettingsWindow, LanguageChosenInTheWindowIsTheLaunchersAtOnce)
{
    ClearChoices();
    UseLanguage("xx-YY");
    launcher_ = StartLauncher();
    ASSERT_TRUE(launcher_);
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Ask(window, IDC_LANGUAGE, CB_GETCURSEL), 0) << "Windows' choice";
    const std::vector<std::wstring> rows = ComboRows(GetDlgItem(window, IDC_LANGUAGE));
    const auto german = std::find(rows.begin(), rows.end(), L"Deutsch");
    ASSERT_NE(german, rows.end());
    EXPECT_NE(std::find(rows.begin(), rows.end(), L"日本語"), rows.end());
    ASSERT_TRUE(Keys({VK_MENU, 'G'}, [&] { return FocusedControl(window) == IDC_LANGUAGE; }));
    ASSERT_TRUE(Keys({'D'}, [&] { return Ask(window, IDC_LANGUAGE, CB_GETCURSEL) == german - rows.begin(); }));
    ASSERT_TRUE(Close(window, VK_RETURN));
    char tag[32] = {};
    ReadRegString(HKEY_CURRENT_USER, kKey, names::kLanguage, tag, sizeof tag);
    EXPECT_STREQ(tag, "de-DE");

    ChooseTextLanguageAgain();
    const HWND icon = WaitForIcon(launcher_->id);
    ASSERT_NE(icon, nullptr);
    ClickIcon(icon);
    const auto menu = WaitForPopupMenu(launcher_->id, kStartMs, false);
    ASSERT_TRUE(menu) << "no icon menu";
    PostKeys(menu->popup, {VK_HOME, VK_RETURN});  // "Settings ...", its first row
    window = WaitForDialog(mirelunde::Text(texts::kSettingsCaption));
    ASSERT_NE(window, nullptr) << "no window captioned " << mirelunde::Text(texts::kSettingsCaption);
    EXPECT_EQ(ProcessOf(window), launcher_->id);
    EXPECT_EQ(Text(window, IDC_OPTIONS_GROUP), "Optionen");
    EXPECT_EQ(Ask(window, IDC_LANGUAGE, CB_GETCURSEL), german - rows.begin());

    Activate(window);
    LetFocusSettle();
    ASSERT_TRUE(Keys({VK_MENU, 'S'}, [&] { return FocusedControl(window) == IDC_LANGUAGE; }));
    ASSERT_TRUE(Keys({VK_HOME}, [&] { return Ask(window, IDC_LANGUAGE, CB_GETCURSEL) == 0; }));
    Chord({VK_MENU, 'B'});  // "Ü&bernehmen"
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(window); }, kActionMs));
    tag[0] = 'x';
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, kKey, names::kLanguage, tag, sizeof tag));
    EXPECT_STREQ(tag, "");
    ChooseTextLanguageAgain();
    window = WaitForDialog(mirelunde::Text(texts::kSettingsCaption));
    ASSERT_NE(window, nullptr) << "not opened again in English";
    EXPECT_EQ(Text(window, IDC_OPTIONS_GROUP), "Options");
}

TEST_F(SettingsWindow, OpensWithTheStoredChoicesAndASecondCommandBringsTheOneWindowUp)
{
    const std::vector<std::pair<int, bool>> unchanged = {
        {IDC_DOUBLE_CLICK_SHADES, true}, {IDC_RIGHT_CLICK_SHADES, true}, {IDC_SINK_ON_MIDDLE, false},
        {IDC_TWO_BUTTON_MOUSE, true},    {IDC_KEYBOARD, true},           {IDC_HUG_STRETCH, false},
        {IDC_SYSTEM_MENU, true},         {IDC_RUN_AT_LOGIN, false}};
    const std::vector<std::pair<int, bool>> changed = {
        {IDC_DOUBLE_CLICK_MAXIMIZES, true}, {IDC_RIGHT_CLICK_SHADES, false}, {IDC_SINK_ON_MIDDLE, true},
        {IDC_TWO_BUTTON_MOUSE, false},      {IDC_KEYBOARD, false},           {IDC_HUG_STRETCH, true},
        {IDC_SYSTEM_MENU, false},           {IDC_RUN_AT_LOGIN, true}};
    for (const bool written : {false, true}) {
        SCOPED_TRACE(written ? "every choice changed" : "nothing stored");
        ClearChoices();
        if (written) {
            for (const auto& [name, value] : {std::pair{names::kInvertDoubleClicks, 1u},
                                              {names::kRightClickShades, 0u},
                                              {names::kSinkOnMiddle, 1u},
                                              {names::kTwoButtonMouse, 0u},
                                              {names::kEnableKeyboard, 0u},
                                              {names::kHugStretch, 1u},
                                              {names::kAddToSystemMenu, 0u}})
                WriteDword(name, value);
            SetRunEntry("\"C:\\Tools\\mirelunde.exe\"");
            SetText(names::kExcludedPrograms, "game.exe; \"mstsc.exe\"");
            SetText(names::kProgramsKeptOnTop, "calc.exe");
        }

        const HWND window = Open();
        ASSERT_NE(window, nullptr);
        for (const auto& [control, on] : written ? changed : unchanged)
            EXPECT_EQ(Checked(window, control), on) << "control " << control;
        // In two-button mode the right button opens the menu, as the command menu shows it.
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(window, IDC_SYSTEM_MENU)) != FALSE, written);
        // Run from the build folder, which the user may change: no launcher from here may run as administrator.
        const HWND elevated = GetDlgItem(window, IDC_ELEVATED_START);
        ASSERT_NE(elevated, nullptr);
        EXPECT_FALSE(IsWindowEnabled(elevated));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_RUN_AT_LOGIN)));
        EXPECT_EQ(Rows(window),
                  (written ? std::vector<std::string>{"game.exe", "mstsc.exe"} : std::vector<std::string>{}));
        EXPECT_EQ(Rows(window, IDC_KEPT_LIST),
                  (written ? std::vector<std::string>{"calc.exe"} : std::vector<std::string>{}));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_APPLY))) << "nothing to apply yet";

        if (!written) {
            HWND other = nullptr;
            auto notepad = Start(NotepadPath());
            ASSERT_TRUE(notepad && (other = WaitForWindow(notepad->id)));
            Activate(other);
            auto second = Start(LauncherPath() + " --settings");
            EXPECT_EQ(second->WaitForExit(kStopMs), 0);
            EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, kActionMs));
            EXPECT_EQ(SettingsWindows(), 1);
        }
        EXPECT_TRUE(Close(window, VK_ESCAPE)) << "the window closes and its process ends";
    }
}

TEST_F(SettingsWindow, KeyboardShortcutsTurnedOffWithOkLeaveAltKeypadThreeToNotepad)
{
    launcher_ = StartLauncher();
    ASSERT_TRUE(launcher_);
    auto notepad = Start(NotepadPath());
    ASSERT_TRUE(notepad);
    const HWND pad = WaitForWindow(notepad->id);
    const HWND edit = FindWindowExA(pad, nullptr, "Edit", nullptr);
    ASSERT_TRUE(pad && edit);

    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(command_->WaitForExit(kStopMs), 0);
    EXPECT_EQ(ProcessOf(window), launcher_->id) << "the running launcher's own window";
    ASSERT_TRUE(Keys({VK_MENU, 'K'}, [&] { return !Checked(window, IDC_KEYBOARD); }));
    ASSERT_TRUE(Close(window, VK_RETURN));
    EXPECT_EQ(ReadDword(names::kEnableKeyboard, 1), 0u);

    Activate(pad);
    RECT before{};
    GetWindowRect(pad, &before);
    Chord({VK_MENU, VK_NUMPAD3});
    Chord({'X'});
    ASSERT_TRUE(Typed(edit, 'x'));
    EXPECT_TRUE(HasRect(pad, before)) << "Alt+keypad 3 still hugs";
}

// Notepad taken off the list and the running target added from the programs running now: at their
// next start notepad shades and the target is left alone (its caption double-click maximizes it).
TEST_F(SettingsWindow, ProgramsRemovedAndAddedAreServedOrLeftAloneAtTheirNextStart)
{
    SetText(names::kExcludedPrograms, "notepad.exe");
    launcher_ = StartLauncher();
    ASSERT_TRUE(launcher_);
    auto target = Start(TargetAppPath());
    ASSERT_TRUE(target && WaitForWindow(target->id));

    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Keys({VK_MENU, 'P'}, [&] { return FocusedControl(window) == IDC_EXCLUDED_LIST; }));
    ASSERT_TRUE(Keys({VK_HOME}, [&] { return Ask(window, IDC_EXCLUDED_LIST, LB_GETSEL, 0) > 0; }));
    ASSERT_TRUE(Keys({VK_MENU, 'R'}, [&] { return Rows(window).empty(); }));
    Chord({VK_MENU, 'D'});
    const HWND picker = WaitForDialog(mirelunde::Text(texts::kAddProgramCaption));
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(ProcessOf(picker), ProcessOf(window));
    ASSERT_TRUE(Keys({'T'}, [&] {
        const auto rows = Rows(picker, IDC_RUNNING_LIST);
        const LRESULT row = Ask(picker, IDC_RUNNING_LIST, LB_GETCURSEL);
        return row >= 0 && static_cast<size_t>(row) < rows.size() && rows[row].rfind("target_app.exe\t", 0) == 0;
    }));
    ASSERT_TRUE(Keys({VK_RETURN}, [&] { return Rows(window) == std::vector<std::string>{"target_app.exe"}; }));
    ASSERT_TRUE(Close(window, VK_RETURN));
    char list[MAX_PATH] = {};
    ReadRegString(HKEY_CURRENT_USER, kKey, names::kExcludedPrograms, list, sizeof list);
    EXPECT_STREQ(list, "target_app.exe");

    target.reset();
    HWND pad = nullptr, other = nullptr;
    auto notepad = Start(NotepadPath());
    target = Start(TargetAppPath());
    ASSERT_TRUE(notepad && target && (pad = WaitForWindow(notepad->id)) && (other = WaitForWindow(target->id)));
    SetWindowPos(pad, nullptr, 20, 60, 600, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(other, nullptr, 660, 60, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    Activate(pad);
    DoubleClickCaption(pad);
    EXPECT_TRUE(HeightBecomes(pad, ShadedHeight())) << "height " << Height(pad);
    Activate(other);
    DoubleClickCaption(other);
    EXPECT_TRUE(WaitUntil([&] { return IsZoomed(other) != FALSE; }, kActionMs)) << "height " << Height(other);
}

// A program whose name holds ";" would be read back as two names: "Add ..." says so and adds nothing.
TEST_F(SettingsWindow, AddRefusesAProgramWhoseNameTheListCannotHold)
{
    SetText(names::kExcludedPrograms, "notepad.exe");
    const std::string copy = TempDirectory() + "\\t;arget.exe";
    ASSERT_TRUE(CopyFileA(BuiltFile("target_app.exe").c_str(), copy.c_str(), FALSE));
    auto target = Start("\"" + copy + "\"");
    ASSERT_TRUE(target && WaitForWindow(target->id));

    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    Chord({VK_MENU, 'D'});
    const HWND picker = WaitForDialog(mirelunde::Text(texts::kAddProgramCaption));
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(Keys({'T'}, [&] {
        const auto rows = Rows(picker, IDC_RUNNING_LIST);
        const LRESULT row = Ask(picker, IDC_RUNNING_LIST, LB_GETCURSEL);
        return row >= 0 && static_cast<size_t>(row) < rows.size() && rows[row].rfind("t;arget.exe\t", 0) == 0;
    }));
    Chord({VK_RETURN});
    // The box, unlike the settings window, is captioned with the product's name alone.
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindWindowA(kDialogClass, names::kCaption)) != nullptr; }, kActionMs));
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text
    EXPECT_NE(std::string(text).find("\";\""), std::string::npos) << text;
    ASSERT_TRUE(Keys({VK_RETURN}, [&] { return !IsWindow(box); }));
    EXPECT_EQ(Rows(window), std::vector<std::string>{"notepad.exe"});
}

// A list the library cannot read is shown as it is, with what is wrong; Cancel after changes writes
// nothing at all, and OK writes the changed choice but not the list.
TEST_F(SettingsWindow, ListTheLibraryCannotReadIsShownAndKeptAndCancelWritesNothing)
{
    struct Case {
        const char* label;
        DWORD type;
        std::string bytes;
        std::vector<std::string> rows;
        std::string says;
    } const cases[] = {
        {"a character no file name holds",
         REG_SZ,
         std::string("game.exe;<any>", 15),
         {"game.exe", "<any>"},
         "\"<any>\""},
        {"too long", REG_SZ, std::string(300, 'x') + '\0', {std::string(300, 'x')}, "300 characters"},
        {"not text", REG_BINARY, "\x01\x02\x03", {}, "not text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SetRaw(names::kExcludedPrograms, c.type, c.bytes);
        WriteDword(names::kEnableKeyboard, 1);
        const auto before = KeyValues();

        HWND window = Open();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(Rows(window), c.rows);
        EXPECT_NE(Text(window, IDC_EXCLUDED_FAULT).find(c.says), std::string::npos) << Text(window, IDC_EXCLUDED_FAULT);
        ASSERT_TRUE(Keys({VK_MENU, 'K'}, [&] { return !Checked(window, IDC_KEYBOARD); }));
        ASSERT_TRUE(Keys({VK_MENU, 'X'}, [&] { return Checked(window, IDC_DOUBLE_CLICK_MAXIMIZES); }));
        ASSERT_TRUE(Close(window, VK_ESCAPE));
        EXPECT_EQ(KeyValues(), before) << "Cancel wrote something";

        ASSERT_NE(window = Open(), nullptr);
        ASSERT_TRUE(Keys({VK_MENU, 'K'}, [&] { return !Checked(window, IDC_KEYBOARD); }));
        ASSERT_TRUE(Close(window, VK_RETURN));
        EXPECT_EQ(ReadDword(names::kEnableKeyboard, 1), 0u);
        EXPECT_EQ(KeyValues()[names::kExcludedPrograms], RawValue(c.type, c.bytes));
    }
}

// Every control in Tab order, each access key reaching its control, Apply writing what the keys
// changed, "Add ..." opened and dismissed, and Escape closing the window.
TEST_F(SettingsWindow, WholeWindowWorksFromTheKeyboard)
{
    ClearChoices();
    const HWND window = Open();
    ASSERT_NE(window, nullptr);

    // System Menu (in two-button mode) and Apply (nothing changed) are grayed: Tab passes them over.
    const std::vector<int> general = {IDC_DOUBLE_CLICK_SHADES,
                                      IDC_RIGHT_CLICK_SHADES,
                                      IDC_SINK_ON_MIDDLE,
                                      IDC_TWO_BUTTON_MOUSE,
                                      IDC_KEYBOARD,
                                      IDC_HUG_STRETCH,
                                      IDC_RUN_AT_LOGIN,
                                      IDC_LANGUAGE,
                                      IDC_EXCLUDED_LIST,
                                      IDC_EXCLUDED_ADD,
                                      IDC_EXCLUDED_REMOVE,
                                      IDC_KEPT_LIST,
                                      IDC_KEPT_ADD,
                                      IDC_KEPT_REMOVE,
                                      IDOK,
                                      IDCANCEL,
                                      IDC_PAGES,
                                      IDC_DOUBLE_CLICK_SHADES};
    // On the "Shortcuts" page (Ctrl+Tab), from the page tabs: each shortcut's field and "Clear".
    std::vector<int> shortcuts = {IDC_PAGES};
    for (int row = 0; row < static_cast<int>(kShortcutCount); ++row)
        shortcuts.insert(shortcuts.end(), {IDC_SHORTCUT_FIELD0 + row, IDC_SHORTCUT_CLEAR0 + row});
    shortcuts.insert(shortcuts.end(), {IDOK, IDCANCEL, IDC_PAGES});
    for (const std::vector<int>* order : {&general, const_cast<const std::vector<int>*>(&shortcuts)}) {
        if (order == &shortcuts) {
            ASSERT_TRUE(Keys({VK_CONTROL, VK_TAB}, [&] { return FocusedControl(window) == IDC_PAGES; }));
        }
        std::vector<int> visited = {FocusedControl(window)};
        for (size_t i = 1; i < order->size(); ++i) {
            const int from = visited.back();
            Keys({VK_TAB}, [&] { return FocusedControl(window) != from; });
            visited.push_back(FocusedControl(window));
        }
        EXPECT_EQ(visited, *order);
    }
    ASSERT_TRUE(Keys({VK_CONTROL, VK_TAB}, [&] { return IsWindowVisible(GetDlgItem(window, IDC_KEYBOARD)); }));

    const struct {
        WORD key;
        int control;
        bool checked;
    } keys[] = {{'X', IDC_DOUBLE_CLICK_MAXIMIZES, true},
                {'N', IDC_RIGHT_CLICK_SHADES, false},
                {'M', IDC_SINK_ON_MIDDLE, true},
                {'T', IDC_TWO_BUTTON_MOUSE, false},
                {'Y', IDC_SYSTEM_MENU, false},
                {'K', IDC_KEYBOARD, false},
                {'H', IDC_HUG_STRETCH, true},
                {'L', IDC_RUN_AT_LOGIN, true}};
    for (const auto& [key, control, checked] : keys) {
        SCOPED_TRACE(control);
        EXPECT_TRUE(Keys({VK_MENU, key},
                         [&] { return FocusedControl(window) == control && Checked(window, control) == checked; }));
    }
    ASSERT_TRUE(Keys({VK_MENU, 'A'}, [&] { return !IsWindowEnabled(GetDlgItem(window, IDC_APPLY)); }));
    for (const auto& [name, value] : {std::pair{names::kInvertDoubleClicks, 1u},
                                      {names::kRightClickShades, 0u},
                                      {names::kSinkOnMiddle, 1u},
                                      {names::kTwoButtonMouse, 0u},
                                      {names::kAddToSystemMenu, 0u},
                                      {names::kEnableKeyboard, 0u},
                                      {names::kHugStretch, 1u}})
        EXPECT_EQ(ReadDword(name, 7), value) << name;
    EXPECT_TRUE(RunEntry().has_value()) << "the login entry";

    ASSERT_TRUE(Keys({VK_MENU, 'O'}, [&] { return FocusedControl(window) == IDC_KEPT_LIST; }));
    ASSERT_TRUE(Keys({VK_MENU, 'P'}, [&] { return FocusedControl(window) == IDC_EXCLUDED_LIST; }));
    Chord({VK_MENU, 'D'});
    const HWND picker = WaitForDialog(mirelunde::Text(texts::kAddProgramCaption));
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(Keys({VK_ESCAPE}, [&] { return !IsWindow(picker); }));
    EXPECT_TRUE(Close(window, VK_ESCAPE));
}

// "Settings ..." in a program's command menu and a double-click on the icon both show the
// launcher's window, never one of the program's.
TEST_F(SettingsWindow, CommandMenuRowAndIconDoubleClickOpenTheLaunchersWindow)
{
    launcher_ = StartLauncher();
    ASSERT_TRUE(launcher_);
    auto notepad = Start(NotepadPath());
    ASSERT_TRUE(notepad);
    const HWND pad = WaitForWindow(notepad->id);
    ASSERT_NE(pad, nullptr);
    Activate(pad);
    Chord({VK_MENU, VK_ADD});
    ASSERT_TRUE(WaitForPopupMenu(notepad->id, kActionMs, false)) << "no command menu";
    std::vector<WORD> keys = LeaveAloneMenuKeys();
    keys.insert(keys.end() - 1, VK_DOWN);  // the row after "Leave this program alone"
    for (WORD key : keys) Chord({key});
    HWND window = WaitForDialog(mirelunde::Text(texts::kSettingsCaption));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ProcessOf(window), launcher_->id);
    SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kStopMs, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(window); }, kActionMs));

    const HWND icon = WaitForIcon(launcher_->id);
    ASSERT_NE(icon, nullptr);
    PostMessageA(icon, kNotifyIconMessage, MAKEWPARAM(10, 10), MAKELPARAM(WM_LBUTTONDBLCLK, kNotifyIconId));
    window = WaitForDialog(mirelunde::Text(texts::kSettingsCaption));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ProcessOf(window), launcher_->id);
}

}  // namespace
}  // namespace e2e
