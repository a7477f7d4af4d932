// Answers message boxes the way a person would: find the box, read it, press a button.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

struct MessageBoxView {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    std::vector<int> buttons;  // control ids: IDOK, IDYES, IDNO, ...
    int defaultButton = 0;
};

// Waits for a visible message box of the given process (0: of any); nullopt after the timeout.
std::optional<MessageBoxView> WaitForMessageBox(DWORD processId, DWORD timeoutMs);

// Clicks the button with that id; false when the box has no such button.
bool PressButton(const MessageBoxView& box, int buttonId);

// On a thread of its own, answers the next box of a process with a chosen button and keeps
// what it read. Start it before whatever shows the box: it must not need the shower's thread.
class BoxAnswerer {
public:
    BoxAnswerer(DWORD processId, int buttonId, DWORD timeoutMs = 15000);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // Waits for the answer; what the box showed, or nullopt when none came.
    std::optional<MessageBoxView> Result();

private:
    std::optional<MessageBoxView> seen_;
    std::thread thread_;
};

}  // namespace testing_support
