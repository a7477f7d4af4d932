// The process commands of the menu: information about the process, and ending it by exit or termination.
#include "actions/WindowTable.h"
#include "commands/CommandTexts.h"
#include "commands/ProcessInfo.h"
#include "hook/SettingsNames.h"

#include <process.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace mirelunde {

namespace {

constexpr size_t kHeaderSize = 1024;  // the header keeps at most 1,023 characters
constexpr UINT kConfirmStyle = MB_YESNO | MB_DEFBUTTON2;

struct PriorityName {
    DWORD priorityClass;
    const char* text;
};

constexpr PriorityName kPriorityNames[] = {
    {NORMAL_PRIORITY_CLASS, "Normal"},
    {IDLE_PRIORITY_CLASS, "Idle"},
    {HIGH_PRIORITY_CLASS, "High"},
    {REALTIME_PRIORITY_CLASS, "Realtime"},
    {BELOW_NORMAL_PRIORITY_CLASS, "Below Normal"},
    {ABOVE_NORMAL_PRIORITY_CLASS, "Above Normal"},
};

std::atomic_flag infoBusy = ATOMIC_FLAG_INIT;

const char* PriorityText(DWORD priorityClass)
{
    for (const PriorityName& name : kPriorityNames)
        if (name.priorityClass == priorityClass) return name.text;
    return texts::kUnknownPriority;
}

// Each display thread owns its text, so a later command cannot rewrite a box's text under it.
unsigned __stdcall ShowInfoBox(void* text) noexcept
{
    std::unique_ptr<std::string> own(static_cast<std::string*>(text));
    MessageBoxA(nullptr, own->c_str(), names::kCaption, MB_OK);
    return 0;
}

// Both questions must be answered Yes; the first other answer is returned.
int ConfirmTwice(HWND window, const char* first, const char* second)
{
    const int answer = MessageBoxA(window, first, names::kCaption, kConfirmStyle);
    if (answer != IDYES) return answer;
    return MessageBoxA(window, second, names::kCaption, kConfirmStyle);
}

}  // namespace

std::string ProcessInfoText()
{
    char header[kHeaderSize];
    const int written = std::snprintf(header, sizeof header, texts::kInfoHeaderFormat, GetCommandLineA(),
                                      PriorityText(GetPriorityClass(GetCurrentProcess())));
    std::string text(header, written < 0 ? 0 : std::min<size_t>(written, sizeof header - 1));

    const LPCH block = GetEnvironmentStringsA();
    if (block == nullptr) return text;
    try {
        for (const char* entry = block; *entry != '\0'; entry += std::strlen(entry) + 1) {
            const size_t length = std::strlen(entry);
            // Whole lines only, as many as the box can show.
            if (text.size() + length + 1 > texts::kLongestBoxText) break;
            text.append(entry, length).append("\n");
        }
    } catch (...) {
        FreeEnvironmentStringsA(block);
        throw;
    }
    FreeEnvironmentStringsA(block);
    return text;
}

void WindowTable::ShowProcessInfo(HWND)
{
    if (infoBusy.test_and_set()) return;
    try {
        auto text = std::make_unique<std::string>(ProcessInfoText());
        const uintptr_t thread = _beginthreadex(nullptr, 0, ShowInfoBox, text.get(), 0, nullptr);
        if (thread != 0) {
            text.release();
            CloseHandle(reinterpret_cast<HANDLE>(thread));
        }
    } catch (...) {
        // Without memory for the text there is nothing to show; nothing may leave the hook's dispatch.
    }
    infoBusy.clear();
}

int WindowTable::DeleteProcess(HWND window)
{
    const int answer = ConfirmTwice(window, texts::kDeleteQuestion, texts::kDeleteLastChance);
    if (answer != IDYES) return answer;
    ExitProcess(0);
}

int WindowTable::DestroyProcess(HWND window)
{
    const int answer = ConfirmTwice(window, texts::kDestroyQuestion, texts::kDestroyLastChance);
    if (answer != IDYES) return answer;
    TerminateProcess(GetCurrentProcess(), 0);
    return answer;  // not reached: termination ends this thread too
}

}  // namespace mirelunde
