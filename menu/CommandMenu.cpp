// The window command menu: the item table, its marks from the window's record and the settings,
// and carrying out the chosen command.
#include "menu/CommandMenu.h"

#include "actions/Hug.h"
#include "actions/Maximize.h"
#include "actions/WindowTable.h"
#include "commands/Help.h"
#include "commands/KeepOnTop.h"
#include "commands/LeaveAlone.h"
#include "commands/Login.h"
#include "commands/SettingsRequest.h"
#include "menu/CommandId.h"
#include "menu/MenuTexts.h"
#include "menu/PopupMenu.h"
#include "settings/Language.h"
#include "settings/ProcessSettings.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"

#include <atomic>
#include <iterator>

namespace mirelunde {

namespace {

// Set from before the menu shows until its command has finished: the menu's modal loop, and any
// box a command shows, dispatch messages that can reach the hook again.
std::atomic<bool> menuOpen{false};

constexpr DWORD kAllBitsSet = 0xFFFFFFFF;

MenuItemSpec Command(const char* text, CommandId id, UINT flags = 0)
{
    return {text, flags, static_cast<UINT_PTR>(id)};
}

// The settings that the marks show and the toggles flip, read once per menu.
struct MenuSettings {
    bool always = false;
    bool keptOnTop = false;  // the program on the list as it is now, whoever changed it since it started
    DWORD invert = 0;
    DWORD hugStretch = 0;
    DWORD sinkOnMiddle = 0;
    DWORD rightClickShades = kAllBitsSet;
    DWORD enableKeyboard = 1;
    bool runAtLogin = false;  // the entry as it is now, whoever changed it since the program started
};

DWORD ReadSetting(const char* name, DWORD preset)
{
    DWORD value = preset;
    ReadRegDword(HKEY_CURRENT_USER, names::kSettingsKey, name, value);
    return value;
}

void WriteSetting(const char* name, bool on)
{
    WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, name, on ? 1 : 0);
}

void Mark(MenuItemSpec& row, bool checked, bool grayed = false)
{
    if (checked) row.flags |= kItemChecked;
    if (grayed) row.flags |= kItemGrayed;
}

void ApplyMarks(MenuItemSpec* table, size_t count, HWND target, const MenuSettings& settings)
{
    for (MenuItemSpec* row = table; row != table + count; ++row) {
        if (!IsCommandRow(*row)) continue;
        switch (static_cast<CommandId>(row->command)) {
        case CommandId::Shade:
            row->text = windowTable.IsShaded(target) ? Text(texts::kExposeWindow) : Text(texts::kShadeWindow);
            break;
        case CommandId::AlwaysOnTop: Mark(*row, settings.always); break;
        case CommandId::AlwaysForThisProgram: Mark(*row, settings.keptOnTop); break;
        case CommandId::OnTopWhenShaded: Mark(*row, windowTable.OnTopWhenShaded(target, false), settings.always); break;
        case CommandId::StretchyHugging: Mark(*row, settings.hugStretch != 0); break;
        case CommandId::TwoButtonMouse: Mark(*row, processSettings.twoButtonMouse); break;
        case CommandId::DoubleClickShades: Mark(*row, settings.invert == 0); break;
        case CommandId::DoubleClickMaximizes: Mark(*row, settings.invert != 0); break;
        case CommandId::SinkOnMiddle: Mark(*row, settings.sinkOnMiddle != 0); break;
        case CommandId::RightClickShades: Mark(*row, settings.rightClickShades != 0); break;
        case CommandId::KeyboardShortcuts: Mark(*row, settings.enableKeyboard != 0); break;
        case CommandId::SystemMenu:
            Mark(*row, processSettings.twoButtonMouse || processSettings.addToSystemMenu,
                 processSettings.twoButtonMouse);
            break;
        case CommandId::RunAtLogin: Mark(*row, settings.runAtLogin); break;
        default: break;
        }
    }
}

void ToggleTwoButtonMouse(HWND target)
{
    processSettings.twoButtonMouse = !processSettings.twoButtonMouse;
    WriteSetting(names::kTwoButtonMouse, processSettings.twoButtonMouse);
    if (!processSettings.twoButtonMouse || !processSettings.addToSystemMenu) return;
    windowTable.AddSystemMenuItem(target);
    WriteSetting(names::kAddToSystemMenu, processSettings.addToSystemMenu);
}

void ToggleSinkOnMiddle(HWND target, DWORD wasSinking)
{
    WriteSetting(names::kSinkOnMiddle, wasSinking == 0);
    if (wasSinking != 0) return;
    // With the middle click sinking, the System Menu item is the mouse's way to the menu.
    if (!processSettings.addToSystemMenu) {
        processSettings.addToSystemMenu = true;
        windowTable.AddSystemMenuItem(target);
    }
    WriteSetting(names::kAddToSystemMenu, processSettings.addToSystemMenu);
}

void ToggleSystemMenu(HWND target)
{
    if (processSettings.addToSystemMenu) {
        windowTable.RemoveSystemMenuItem();
        processSettings.twoButtonMouse = false;
        WriteSetting(names::kTwoButtonMouse, false);
    } else {
        windowTable.AddSystemMenuItem(target);
    }
    processSettings.addToSystemMenu = !processSettings.addToSystemMenu;
    WriteSetting(names::kAddToSystemMenu, processSettings.addToSystemMenu);
}

void CarryOut(CommandId choice, HWND target, const MenuSettings& settings)
{
    switch (choice) {
    case CommandId::Stop: windowTable.RequestStop(target, IDNO); return;
    case CommandId::Shade: windowTable.ToggleShadeOfFrame(target); return;
    case CommandId::AlwaysOnTop: windowTable.AlwaysOnTop(target, true); return;
    case CommandId::OnTopWhenShaded: windowTable.OnTopWhenShaded(target, true); return;
    case CommandId::MaximizeVertically: MaximizeVariant(target, Stretch::Vertically); return;
    case CommandId::MaximizeHorizontally: MaximizeVariant(target, Stretch::Horizontally); return;
    case CommandId::MaximizeBoth: MaximizeVariant(target, Stretch::Both); return;
    case CommandId::Unmaximize: MaximizeVariant(target, Stretch::Undo); return;
    case CommandId::HugTop: HugWindow(target, HugDirection::Top); return;
    case CommandId::HugRight: HugWindow(target, HugDirection::Right); return;
    case CommandId::HugLeft: HugWindow(target, HugDirection::Left); return;
    case CommandId::HugBottom: HugWindow(target, HugDirection::Bottom); return;
    case CommandId::HugTopLeft: HugWindow(target, HugDirection::TopLeft); return;
    case CommandId::HugTopRight: HugWindow(target, HugDirection::TopRight); return;
    case CommandId::HugBottomLeft: HugWindow(target, HugDirection::BottomLeft); return;
    case CommandId::HugBottomRight: HugWindow(target, HugDirection::BottomRight); return;
    case CommandId::StretchyHugging: WriteSetting(names::kHugStretch, settings.hugStretch == 0); return;
    case CommandId::Sink: windowTable.RaiseOrSink(target, nullptr); return;
    case CommandId::ProcessInfo: windowTable.ShowProcessInfo(target); return;
    case CommandId::ProcessDelete: windowTable.DeleteProcess(target); return;
    case CommandId::ProcessDestroy: windowTable.DestroyProcess(target); return;
    case CommandId::TwoButtonMouse: ToggleTwoButtonMouse(target); return;
    case CommandId::DoubleClickShades: WriteSetting(names::kInvertDoubleClicks, false); return;
    case CommandId::DoubleClickMaximizes: WriteSetting(names::kInvertDoubleClicks, true); return;
    case CommandId::SinkOnMiddle: ToggleSinkOnMiddle(target, settings.sinkOnMiddle); return;
    case CommandId::RightClickShades: WriteSetting(names::kRightClickShades, settings.rightClickShades == 0); return;
    case CommandId::KeyboardShortcuts: WriteSetting(names::kEnableKeyboard, settings.enableKeyboard == 0); return;
    case CommandId::SystemMenu: ToggleSystemMenu(target); return;
    case CommandId::RunAtLogin: SwitchLoginEntry(!settings.runAtLogin, nullptr); return;
    case CommandId::About: ShowUsageBox(target, nullptr); return;
    case CommandId::LeaveProgramAlone: LeaveProgramAlone(target); return;
    case CommandId::Settings: AskForSettingsWindow(); return;
    case CommandId::AlwaysForThisProgram: KeepProgramOnTop(target, !settings.keptOnTop); return;
    case CommandId::None: return;
    }
}

}  // namespace

bool ShowCommandMenu(HWND target)
{
    if (menuOpen.exchange(true)) return false;
    struct CloseOnReturn {
        ~CloseOnReturn() { menuOpen = false; }
    } closeOnReturn;

    MenuItemSpec table[] = {
        Command(Text(texts::kShadeWindow), CommandId::Shade),
        Row(RowKind::Separator),
        Command(Text(texts::kSinkWindow), CommandId::Sink),
        Row(RowKind::SubmenuStart, Text(texts::kOnTop)),
        Command(Text(texts::kWhenShaded), CommandId::OnTopWhenShaded),
        Command(Text(texts::kAlways), CommandId::AlwaysOnTop),
        Command(Text(texts::kAlwaysForThisProgram), CommandId::AlwaysForThisProgram),
        Row(RowKind::SubmenuEnd),
        Row(RowKind::Separator),
        Row(RowKind::SubmenuStart, Text(texts::kMaximize)),
        Command(Text(texts::kVertically), CommandId::MaximizeVertically),
        Command(Text(texts::kHorizontally), CommandId::MaximizeHorizontally),
        Command(Text(texts::kBoth), CommandId::MaximizeBoth),
        Row(RowKind::Separator),
        Command(Text(texts::kUnmaximize), CommandId::Unmaximize),
        Row(RowKind::SubmenuEnd),
        Row(RowKind::SubmenuStart, Text(texts::kHug)),
        Command(Text(texts::kTop), CommandId::HugTop),
        Command(Text(texts::kRight), CommandId::HugRight),
        Command(Text(texts::kLeft), CommandId::HugLeft),
        Command(Text(texts::kBottom), CommandId::HugBottom),
        Row(RowKind::Separator),
        Command(Text(texts::kTopLeft), CommandId::HugTopLeft),
        Command(Text(texts::kTopRight), CommandId::HugTopRight),
        Command(Text(texts::kBottomLeft), CommandId::HugBottomLeft),
        Command(Text(texts::kBottomRight), CommandId::HugBottomRight),
        Row(RowKind::Separator),
        Command(Text(texts::kStretchyHugging), CommandId::StretchyHugging),
        Row(RowKind::SubmenuEnd),
        Row(RowKind::Separator),
        Row(RowKind::SubmenuStart, Text(texts::kProcess)),
        Command(Text(texts::kInfo), CommandId::ProcessInfo),
        Row(RowKind::Separator),
        Command(Text(texts::kDelete), CommandId::ProcessDelete),
        Command(Text(texts::kDestroy), CommandId::ProcessDestroy),
        Row(RowKind::SubmenuEnd),
        Row(RowKind::Separator),
        Row(RowKind::SubmenuStart, Text(texts::kConfigure)),
        Row(RowKind::SubmenuStart, Text(texts::kMouse)),
        Row(RowKind::SubmenuStart, Text(texts::kLeftDoubleClick)),
        Command(Text(texts::kShade), CommandId::DoubleClickShades, kItemRadio),
        Command(Text(texts::kMaximize), CommandId::DoubleClickMaximizes, kItemRadio),
        Row(RowKind::SubmenuEnd),
        Command(Text(texts::kShadeOnRight), CommandId::RightClickShades),
        Command(Text(texts::kSinkOnMiddle), CommandId::SinkOnMiddle),
        Command(Text(texts::kTwoButtonMouse), CommandId::TwoButtonMouse),
        Row(RowKind::SubmenuEnd),
        Command(Text(texts::kKeyboardShortcuts), CommandId::KeyboardShortcuts),
        Command(Text(texts::kSystemMenu), CommandId::SystemMenu),
        Row(RowKind::Separator),
        Command(Text(texts::kRunAtLogin), CommandId::RunAtLogin),
        Command(Text(texts::kStopNow), CommandId::Stop),
        Row(RowKind::Separator),
        Command(Text(texts::kLeaveProgramAlone), CommandId::LeaveProgramAlone),
        Command(Text(texts::kSettings), CommandId::Settings),
        Row(RowKind::SubmenuEnd),
        Row(RowKind::Separator),
        Command(Text(texts::kAbout), CommandId::About),
        Row(RowKind::End),
    };
    static_assert(std::size(table) == 59);

    MenuSettings settings;
    settings.always = windowTable.AlwaysOnTop(target, false);
    settings.keptOnTop = IsProgramKeptOnTop();
    settings.invert = ReadSetting(names::kInvertDoubleClicks, 0);
    settings.hugStretch = ReadSetting(names::kHugStretch, 0);
    settings.sinkOnMiddle = ReadSetting(names::kSinkOnMiddle, 0);
    settings.rightClickShades = ReadSetting(names::kRightClickShades, kAllBitsSet);
    settings.enableKeyboard = ReadSetting(names::kEnableKeyboard, 1);
    settings.runAtLogin = IsRunAtLogin();
    ApplyMarks(table, std::size(table), target, settings);

    const auto choice = static_cast<CommandId>(TrackMenuTable(target, table));
    CarryOut(choice, target, settings);
    return true;
}

}  // namespace mirelunde
