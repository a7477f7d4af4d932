// The numbers of the window command menu's commands.
#pragma once

namespace mirelunde {

enum class CommandId : unsigned {
    None = 0,
    Stop = 1,
    Shade = 2,
    AlwaysOnTop = 3,
    OnTopWhenShaded = 4,
    MaximizeVertically = 5,
    MaximizeHorizontally = 6,
    MaximizeBoth = 7,
    Unmaximize = 8,
    HugTop = 9,
    HugRight = 10,
    HugLeft = 11,
    HugBottom = 12,
    HugTopLeft = 13,
    HugTopRight = 14,
    HugBottomLeft = 15,
    HugBottomRight = 16,
    StretchyHugging = 17,
    Sink = 19,
    ProcessInfo = 20,
    ProcessDelete = 21,
    ProcessDestroy = 22,
    TwoButtonMouse = 23,
    DoubleClickShades = 24,
    DoubleClickMaximizes = 25,
    SinkOnMiddle = 26,
    RightClickShades = 27,
    KeyboardShortcuts = 28,
    SystemMenu = 29,
    RunAtLogin = 30,
    About = 31,
    LeaveProgramAlone = 32,
    Settings = 33,
    AlwaysForThisProgram = 34,
};

}  // namespace mirelunde
