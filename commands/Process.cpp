// The process commands of the menu: information about the process, and ending it by exit or termination.
#include "actions/WindowTable.h"
#include "commands/CommandTexts.h"
#include "commands/ProcessInfo.h"
#include "settings/Language.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <process.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwchar>
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
    return Text(texts::kUnknownPriority);
}

// What a display thread owns: its text, so a later command cannot rewrite a box's text under it,
// and a reference to this library, so the library stays mapped until the box has been answered
// even when the launcher has stopped in the meantime.
struct InfoBox {
    std::string text;
    HMODULE library = nullptr;
};

unsigned __stdcall ShowInfoBox(void* param) noexcept
{
    std::unique_ptr<InfoBox> box(static_cast<InfoBox*>(param));
    MessageBoxText(nullptr, box->text.c_str(), names::kCaption, MB_OK);
    const HMODULE library = box->library;
    box.reset();
    FreeLibraryAndExitThread(library, 0);
}

HMODULE ReferenceThisLibrary()
{
    HMODULE library = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<const char*>(&ShowInfoBox), &library);
    return library;
}

// Both questions must be answered Yes; the first other answer is returned.
int ConfirmTwice(HWND window, const char* first, const char* second)
{
    const int answer = MessageBoxText(BoxOwner(window), first, names::kCaption, kConfirmStyle);
    if (answer != IDYES) return answer;
    return MessageBoxText(BoxOwner(window), second, names::kCaption, kConfirmStyle);
}

}  // namespace

std::string ProcessInfoText()
{
    char header[kHeaderSize];
    const int written =
        std::snprintf(header, sizeof header, Text(texts::kInfoHeaderFormat), Utf8(GetCommandLineW()).c_str(),
                      PriorityText(GetPriorityClass(GetCurrentProcess())));
    std::string text(header, written < 0 ? 0 : std::min<size_t>(written, sizeof header - 1));

    const LPWCH block = GetEnvironmentStringsW();
    if (block == nullptr) return text;
    try {
        for (const wchar_t* entry = block; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
            const std::string line = Utf8(entry);
            // Whole lines only, as many as the box can show.
            if (text.size() + line.size() + 1 > texts::kLongestBoxText) break;
            text.append(line).append("\n");
        }
    } catch (...) {
        FreeEnvironmentStringsW(block);
        throw;
    }
    FreeEnvironmentStringsW(block);
    return text;
}

void WindowTable::ShowProcessInfo(HWND)
{
    if (infoBusy.test_and_set()) return;
    try {
        auto box = std::make_unique<InfoBox>(InfoBox{ProcessInfoText(), ReferenceThisLibrary()});
        const uintptr_t thread = box->library ? _beginthreadex(nullptr, 0, ShowInfoBox, box.get(), 0, nullptr) : 0;
        if (thread != 0) {
            box.release();
            CloseHandle(reinterpret_cast<HANDLE>(thread));
        } else if (box->library) {
            FreeLibrary(box->library);
        }
    } catch (...) {
        // Without memory for the text there is nothing to show; nothing may leave the hook's dispatch.
    }
    infoBusy.clear();
}

int WindowTable::DeleteProcess(HWND window)
{
    const int answer = ConfirmTwice(window, Text(texts::kDeleteQuestion), Text(texts::kDeleteLastChance));
    if (answer != IDYES) return answer;
    ExitProcess(0);
}

int WindowTable::DestroyProcess(HWND window)
{
    const int answer = ConfirmTwice(window, Text(texts::kDestroyQuestion), Text(texts::kDestroyLastChance));
    if (answer != IDYES) return answer;
    TerminateProcess(GetCurrentProcess(), 0);
    return answer;  // not reached: termination ends this thread too
}

}  // namespace mirelunde
