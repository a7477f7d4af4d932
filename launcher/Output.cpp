// Connecting the launcher's output to its parent's console, writing lines, and the failure box.
#include "launcher/Output.h"

#include "launcher/LauncherTexts.h"
#include "launcher/window/Dialogs.h"
#include "settings/Language.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace mirelunde {

namespace {

constexpr char kPrefix[] = "mirelunde: ";

bool showBoxes = false;
bool attached = false;

// A handle given by a redirection; a closed one, or none, reads as no file at all.
bool LeadsSomewhere(DWORD which)
{
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// Written with the system's line ends, to a file, a pipe or a console alike.
void WriteLine(DWORD which, const std::string& text)
{
    const HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    std::string line = kPrefix;
    for (const char c : text + "\n") {
        if (c == '\n') line += '\r';
        line += c;
    }
    DWORD written = 0;
    // A console shows every script as UTF-16; a file or a pipe gets UTF-8.
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide = Wide(line);
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace

std::string Message(UINT id, ...)
{
    va_list args;
    va_start(args, id);
    std::string text = FormatList(Text(id), args);
    va_end(args);
    return text;
}

std::string WithError(const std::string& text, DWORD error)
{
    return Message(texts::kWithErrorFormat, text.c_str(), error);
}

void ConnectOutput(bool mayShowBoxes)
{
    const bool output = LeadsSomewhere(STD_OUTPUT_HANDLE);
    const bool errors = LeadsSomewhere(STD_ERROR_HANDLE);
    // Refused when this process has a console already, as under Wine a GUI program started from a
    // console program does.
    attached = AttachConsole(ATTACH_PARENT_PROCESS) != FALSE || GetLastError() == ERROR_ACCESS_DENIED;
    // Handles given by a redirection keep what they were given.
    if (attached && (!output || !errors)) {
        const HANDLE console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, 0, nullptr);
        if (console != INVALID_HANDLE_VALUE) {
            if (!output) SetStdHandle(STD_OUTPUT_HANDLE, console);
            if (!errors) SetStdHandle(STD_ERROR_HANDLE, console);
        }
    }
    showBoxes = mayShowBoxes && !attached && !errors;
}

void WriteToLog(const std::string& path)
{
    showBoxes = false;
    const HANDLE log = CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    SetStdHandle(STD_OUTPUT_HANDLE, log);
    SetStdHandle(STD_ERROR_HANDLE, log);
}

void LeaveConsole()
{
    if (!attached) return;
    FreeConsole();
    attached = false;
}

void Say(const std::string& text)
{
    WriteLine(STD_OUTPUT_HANDLE, text);
}

void Warn(const std::string& text)
{
    WriteLine(STD_ERROR_HANDLE, text);
}

void ReportFailure(const std::string& text)
{
    WriteLine(STD_ERROR_HANDLE, text);
    if (showBoxes) MessageBoxText(nullptr, text.c_str(), names::kCaption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace mirelunde
