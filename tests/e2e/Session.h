// What end-to-end tests share: started processes, the real launcher, other processes' windows,
// and the settings key, which these tests share with the processes they start.
#pragma once

#include "settings/Handles.h"
#include "tests/support/ModalBox.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

inline constexpr char kKey[] = "Software\\Pellamor\\Mirelunde";
inline constexpr DWORD kStartMs = 20000;
inline constexpr DWORD kStopMs = 10000;
inline constexpr DWORD kActionMs = 5000;

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
DWORD ReadDword(const char* name, DWORD preset);
void WriteDword(const char* name, DWORD value);

// Puts the settings key's values back as they were found.
class SettingsSnapshot {
public:
    SettingsSnapshot();
    ~SettingsSnapshot();
    SettingsSnapshot(const SettingsSnapshot&) = delete;
    SettingsSnapshot& operator=(const SettingsSnapshot&) = delete;

private:
    struct Value {
        std::string name;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    std::vector<Value> values_;
};

// A started process, terminated by its handle if it is still running at the end.
struct Process {
    mirelunde::Handle process;
    mirelunde::Handle thread;
    DWORD id = 0;
    std::string commandLine;
    std::string errorFile;

    int WaitForExit(DWORD timeoutMs) const;
    std::string Errors() const;
    ~Process();
};

// Starts a command line (UTF-8) with standard output and error going to a file of its own; `show`, when
// given, is how the program is asked to show its first window (SW_SHOWMAXIMIZED for `start /max`).
std::unique_ptr<Process> Start(const std::string& commandLine, std::optional<WORD> show = std::nullopt);

std::string LauncherPath();
std::string NotepadPath();  // the notepad of the test's own architecture
std::string TargetAppPath();
// What a launcher of that many bits says once its hooks are in place, in the language of the run.
std::string HooksInstalled(unsigned bits = 8 * sizeof(void*));

// Another process's window as the tests measure it, and the height a shaded window has.
int Height(HWND window);
bool HasRect(HWND window, const RECT& expected);
int ShadedHeight();

// Makes another process's window the active one, and waits until it is.
void Activate(HWND window);
// Under Wine, a window reads news of the X focus late: a chord sent before that news is through may
// reach a window that then loses the foreground, or open a menu that the news closes again. Keys go
// only once the X focus is in the foreground window and the windows' last such events are through.
void LetFocusSettle();
// Under Wine, Alt with a keypad key types a character that the window's menu bar looks for. As that
// search ends, Wine sets its key state to the X server's: an Alt held in the X server, as the cases
// hold it (UseTheXServer), stays down; one sent only as input would be let go in the middle of
// the hold.
inline bool SystemLetAltGo()
{
    return GetAsyncKeyState(VK_MENU) >= 0;
}
// A real double-click of the left button on the window's caption.
void DoubleClickCaption(HWND window);
bool HeightBecomes(HWND window, int height);
// Whether a typed key has reached the edit control: keys typed before it have been handled too.
bool Typed(HWND edit, char letter);

std::vector<HWND> VisibleWindows(DWORD processId);
// Waits for the process's first visible top-level window.
HWND WaitForWindow(DWORD processId);
std::string ModulesKey(const std::string& title, DWORD processId);

// Keys that choose "Stop Mirelunde now" in a freshly opened command menu of another process, whose
// items cannot be read from here: "Configure" is the seventh item of the top level, the stop the
// fifth of its submenu.
std::vector<WORD> StopMenuKeys();
// Keys that choose "Leave this program alone", the last item of "Configure", in a freshly opened
// command menu: past the stop and a separator.
std::vector<WORD> LeaveAloneMenuKeys();
// Opens the command menu with a middle click on the window's caption, chooses the stop and
// answers its question Yes; the question as it was shown, or nothing (a failure is added) when
// the menu or the question did not appear.
std::optional<testing_support::MessageBoxView> StopFromCommandMenu(DWORD processId, HWND window);
// Keys that choose Maximize > Both in a freshly opened command menu: a menu opened from the
// keyboard may come with its first item highlighted, so Home first; then past Shade window, Sink
// window and On Top to Maximize, and in it past Vertically and Horizontally to Both.
std::vector<WORD> MaximizeBothMenuKeys();
RECT WorkArea();

// The user's login entry "Mirelunde", and putting it back as it was found.
std::optional<std::string> RunEntry();
void SetRunEntry(const std::optional<std::string>& entry);

class RunEntrySnapshot {
public:
    RunEntrySnapshot() : entry_(RunEntry()) {}
    ~RunEntrySnapshot() { SetRunEntry(entry_); }
    RunEntrySnapshot(const RunEntrySnapshot&) = delete;
    RunEntrySnapshot& operator=(const RunEntrySnapshot&) = delete;
    const std::optional<std::string>& entry() const { return entry_; }

private:
    std::optional<std::string> entry_;
};

// The hidden window of a launcher's notification-area icon, null while it has none.
HWND NotifyIconWindow(DWORD launcherId);
// Whether the shell holds that window's icon: only an icon it holds can be changed.
bool IconShown(HWND window);
// Waits until the launcher's icon is in the notification area; its window, or null.
HWND WaitForIcon(DWORD launcherId);
// Opens the icon's menu as the shell does for a click on it.
void ClickIcon(HWND window);

// Each test starts with "HHook" at 0 and its settings put back afterwards.
class LauncherSession : public testing::Test {
protected:
    ~LauncherSession() override;
    void SetUp() override;
    std::unique_ptr<Process> StartLauncher(const std::string& path = LauncherPath());
    static void RequestStop();

    SettingsSnapshot snapshot_;
    std::vector<DWORD> hooks_;  // the hooks each launcher of the case published
};

}  // namespace e2e
