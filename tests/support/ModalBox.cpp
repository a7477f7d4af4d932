// Finding and answering message boxes through the window manager.
#include "tests/support/ModalBox.h"

#include "settings/Text.h"

namespace testing_support {

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr DWORD kPollMs = 25;

std::string WindowText(HWND window)
{
    wchar_t text[2048] = {};
    const int length = GetWindowTextW(window, text, ARRAYSIZE(text));
    return mirelunde::Utf8({text, static_cast<size_t>(length > 0 ? length : 0)});
}

std::string ClassName(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) noexcept
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((search->processId == 0 || owner == search->processId) && IsWindowVisible(window) &&
        ClassName(window) == kDialogClass) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK ReadControl(HWND control, LPARAM param) noexcept
{
    auto* view = reinterpret_cast<MessageBoxView*>(param);
    const std::string kind = ClassName(control);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (lstrcmpiA(kind.c_str(), "Button") == 0 && (style & WS_VISIBLE)) {
        const int id = GetDlgCtrlID(control);
        view->buttons.push_back(id);
        if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) view->defaultButton = id;
    } else if (lstrcmpiA(kind.c_str(), "Static") == 0 && (style & SS_TYPEMASK) != SS_ICON) {
        const std::string text = WindowText(control);
        if (!text.empty()) view->text += text;
    }
    return TRUE;
}

}  // namespace

std::optional<MessageBoxView> WaitForMessageBox(DWORD processId, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    do {
        Search search{processId, nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            MessageBoxView view;
            view.window = search.found;
            view.owner = GetWindow(search.found, GW_OWNER);
            view.caption = WindowText(search.found);
            EnumChildWindows(search.found, ReadControl, reinterpret_cast<LPARAM>(&view));
            return view;
        }
        Sleep(kPollMs);
    } while (GetTickCount64() < deadline);
    return std::nullopt;
}

bool PressButton(const MessageBoxView& box, int buttonId)
{
    const HWND button = GetDlgItem(box.window, buttonId);
    if (!button) return false;
    return PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
}

BoxAnswerer::BoxAnswerer(DWORD processId, int buttonId, DWORD timeoutMs)
{
    // The constructor returns only once the thread runs: a thread still starting up would wait for
    // the loader lock, which a box shown from DllMain holds.
    HANDLE running = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, processId, buttonId, timeoutMs, running] {
        // Wine loads its display driver at a process's first look at the desktop's windows, under the
        // loader lock: looked at here, before the box can hold that lock.
        WaitForMessageBox(processId, 0);
        SetEvent(running);
        seen_ = WaitForMessageBox(processId, timeoutMs);
        if (seen_) PressButton(*seen_, buttonId);
    });
    WaitForSingleObject(running, INFINITE);
    CloseHandle(running);
}

BoxAnswerer::~BoxAnswerer()
{
    if (thread_.joinable()) thread_.join();
}

std::optional<MessageBoxView> BoxAnswerer::Result()
{
    if (thread_.joinable()) thread_.join();
    return seen_;
}

}  // namespace testing_support
