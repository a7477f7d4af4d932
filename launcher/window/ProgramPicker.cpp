// The window that "Add ..." opens: the programs running now, one row per file name with the caption
// of one of its windows, and "Browse ..." for a program that is not running.
#include "launcher/window/ProgramPicker.h"

#include "launcher/LauncherTexts.h"
#include "launcher/window/DialogIds.h"
#include "launcher/window/Dialogs.h"
#include "launcher/window/Layout.h"
#include "settings/Handles.h"
#include "settings/Language.h"
#include "settings/ProgramLists.h"
#include "settings/Text.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace mirelunde {

namespace {

constexpr int kCaptionLength = 256;
constexpr int kTabStop = 90;  // dialog units: where the window's caption starts in a row

struct RunningProgram {
    std::string name;
    std::string caption;
};

struct Picker {
    std::vector<RunningProgram> running;
    std::string chosen;
};

// The program of every visible window a person works in: a captioned, unowned, non-tool window of
// another process whose file can be asked for.
BOOL CALLBACK CollectProgram(HWND window, LPARAM param) noexcept
{
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    if (!IsWindowVisible(window) || (style & WS_CAPTION) != WS_CAPTION || GetWindow(window, GW_OWNER) != nullptr ||
        (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0)
        return TRUE;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == GetCurrentProcessId()) return TRUE;
    const Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    wchar_t path[MAX_PATH * 2];
    DWORD length = ARRAYSIZE(path);
    if (!process || !QueryFullProcessImageNameW(process.get(), 0, path, &length)) return TRUE;
    wchar_t caption[kCaptionLength] = {};
    GetWindowTextW(window, caption, kCaptionLength);
    try {
        reinterpret_cast<std::vector<RunningProgram>*>(param)->push_back(
            {std::string(FileNameOf(Utf8({path, length}))), Utf8(caption)});
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

std::vector<RunningProgram> RunningPrograms()
{
    std::vector<RunningProgram> programs;
    EnumWindows(CollectProgram, reinterpret_cast<LPARAM>(&programs));
    const auto before = [](const RunningProgram& a, const RunningProgram& b) {
        return lstrcmpiW(Wide(a.name).c_str(), Wide(b.name).c_str()) < 0;
    };
    std::stable_sort(programs.begin(), programs.end(), before);
    programs.erase(
        std::unique(programs.begin(), programs.end(),
                    [](const RunningProgram& a, const RunningProgram& b) { return SameIgnoringCase(a.name, b.name); }),
        programs.end());
    return programs;
}

bool Browse(HWND owner, std::string& chosen)
{
    wchar_t path[MAX_PATH * 2] = {};
    std::wstring filter = Wide(Text(texts::kProgramFilter));
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    const std::wstring title = Wide(Text(texts::kBrowseCaption));
    OPENFILENAMEW open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = owner;
    open.lpstrFilter = filter.c_str();
    open.lpstrFile = path;
    open.nMaxFile = ARRAYSIZE(path);
    open.lpstrTitle = title.c_str();
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameW(&open)) return false;
    chosen = FileNameOf(Utf8(path));
    return true;
}

void Fill(HWND dialog, const Picker& picker)
{
    SetWindowTextW(dialog, Wide(Text(texts::kAddProgramCaption)).c_str());
    SetControlText(dialog, IDC_RUNNING_LABEL, Text(texts::kRunningPrograms), 'P');
    SetControlText(dialog, IDC_BROWSE, Text(texts::kBrowse), 'B');
    SetControlText(dialog, IDOK, Text(texts::kOk));
    SetControlText(dialog, IDCANCEL, Text(texts::kCancel));
    FitToTexts(dialog);
    const HWND list = GetDlgItem(dialog, IDC_RUNNING_LIST);
    int tabStop = kTabStop;
    SendMessageA(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
    for (const RunningProgram& program : picker.running)
        SendMessageW(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Wide(program.name + '\t' + program.caption).c_str()));
    SendMessageA(list, LB_SETCURSEL, 0, 0);
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            Fill(dialog, *reinterpret_cast<Picker*>(lParam));
            return TRUE;
        }
        auto* picker = reinterpret_cast<Picker*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (message != WM_COMMAND || picker == nullptr) return FALSE;
        const int control = LOWORD(wParam);
        const bool doubleClicked = control == IDC_RUNNING_LIST && HIWORD(wParam) == LBN_DBLCLK;
        if (control == IDOK || doubleClicked) {
            const LRESULT row = SendDlgItemMessageA(dialog, IDC_RUNNING_LIST, LB_GETCURSEL, 0, 0);
            if (row < 0 || static_cast<size_t>(row) >= picker->running.size()) {
                MessageBeep(MB_OK);
                return TRUE;
            }
            picker->chosen = picker->running[static_cast<size_t>(row)].name;
            EndDialog(dialog, IDOK);
        } else if (control == IDC_BROWSE) {
            if (Browse(dialog, picker->chosen)) EndDialog(dialog, IDOK);
        } else if (control == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    } catch (...) {
        return TRUE;
    }
}

}  // namespace

std::optional<std::string> PickProgram(HWND owner)
{
    Picker picker;
    picker.running = RunningPrograms();
    if (RunDialog(IDD_ADD_PROGRAM, owner, Procedure, reinterpret_cast<LPARAM>(&picker)) != IDOK ||
        picker.chosen.empty())
        return std::nullopt;
    return picker.chosen;
}

}  // namespace mirelunde
