// Asks the entry's runner for a hang report through a file both sides see, and watches test cases.
#include "tests/support/Forensics.h"

#include "settings/SettingsNames.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

namespace testing_support {
namespace {

// The runner's whole report is bounded by MIRELUNDE_FORENSICS_BUDGET (240 s); its analysis follows.
constexpr DWORD kReportMs = 330000;

// A path of the Unix side as this process opens it (Wine's own conversion where there is one).
std::string DosPath(const std::string& unixPath)
{
    using Convert = LPWSTR(CDECL*)(LPCSTR);
    const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    if (convert) {
        if (LPWSTR wide = convert(unixPath.c_str())) {
            char path[MAX_PATH * 2] = {};
            WideCharToMultiByte(CP_ACP, 0, wide, -1, path, sizeof path, nullptr, nullptr);
            HeapFree(GetProcessHeap(), 0, wide);
            return path;
        }
    }
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

// What a person at the screen would find as a case fails: the keys and buttons the system holds down,
// and the window in front with its thread's GUI state.
std::string InputState()
{
    std::string state = "held:";
    for (int key = 1; key < 256; ++key) {
        if (GetAsyncKeyState(key) >= 0) continue;
        char code[8];
        std::snprintf(code, sizeof code, " 0x%02x", key);
        state += code;
    }
    const HWND front = GetForegroundWindow();
    DWORD process = 0;
    char name[64] = {};
    GetClassNameA(front, name, sizeof name);
    const DWORD threadId = GetWindowThreadProcessId(front, &process);
    char front_[120];
    std::snprintf(front_, sizeof front_, "; front %p (%s, process %lu), ", static_cast<void*>(front), name,
                  static_cast<unsigned long>(process));
    return state + front_ + GuiThreadState(threadId);
}

// The product's settings as the failed case found them, each value as name=value: what a program's
// library and a new launcher read next.
std::string SettingsState()
{
    std::string state = "; settings:";
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, mirelunde::names::kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return state + " none";
    for (DWORD index = 0;; ++index) {
        char name[256];
        BYTE data[256];
        DWORD nameLength = sizeof name, size = sizeof data, type = 0;
        const LONG read = RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &size);
        if (read != ERROR_SUCCESS && read != ERROR_MORE_DATA) break;
        std::string value = read == ERROR_MORE_DATA ? "(long)" : "(type " + std::to_string(type) + ")";
        if (read == ERROR_MORE_DATA) type = REG_NONE;
        if (type == REG_DWORD && size == sizeof(DWORD)) value = std::to_string(*reinterpret_cast<const DWORD*>(data));
        if (type == REG_SZ) value.assign(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<char*>(data), size));
        state += " " + std::string(name, nameLength) + "=" + value + ";";
    }
    RegCloseKey(key);
    return state;
}

class CaseWatch : public testing::EmptyTestEventListener {
public:
    explicit CaseWatch(DWORD limitMs)
        : limitMs_(limitMs), onFailure_(std::getenv("MIRELUNDE_FORENSICS_ON_FAILURE") != nullptr)
    {
        watch_ = this;
        std::signal(SIGABRT, OnAbort);
        std::thread([this] { Watch(); }).detach();
    }

private:
    // abort() ends the process with status 3 and says nothing: the library's terminate handler
    // calls it, and so does the runtime when it runs out of memory. The handler runs on the
    // aborting thread, so the report's stack of that thread shows who called it.
    static void OnAbort(int)
    {
        std::string name;
        {
            std::lock_guard<std::mutex> hold(watch_->lock_);
            name = watch_->running_ ? watch_->name_ : "no case";
        }
        std::printf("abort() called in %s, thread %lu\n", name.c_str(), GetCurrentThreadId());
        std::fflush(stdout);
        RecordHang(name + ": abort() called in thread " + std::to_string(GetCurrentThreadId()));
        std::fflush(stdout);
    }

    void OnTestStart(const testing::TestInfo& test) override
    {
        std::lock_guard<std::mutex> hold(lock_);
        name_ = std::string(test.test_suite_name()) + "." + test.name();
        started_ = GetTickCount64();
        running_ = true;
        reported_ = false;
    }

    void OnTestEnd(const testing::TestInfo&) override
    {
        std::lock_guard<std::mutex> hold(lock_);
        running_ = false;
    }

    void OnTestPartResult(const testing::TestPartResult& result) override
    {
        if (!onFailure_ || !result.failed()) return;
        std::string name;
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (reported_) return;
            reported_ = true;
            name = name_;
        }
        RecordHang(name + " failed at " + (result.file_name() ? result.file_name() : "?") + ":" +
                   std::to_string(result.line_number()) + "; " + InputState() + SettingsState());
    }

    [[noreturn]] void Watch()
    {
        for (;;) {
            Sleep(1000);
            std::string name;
            {
                std::lock_guard<std::mutex> hold(lock_);
                if (!running_ || GetTickCount64() - started_ < limitMs_) continue;
                name = name_;
            }
            std::printf("%s did not end within %lu s\n", name.c_str(), static_cast<unsigned long>(limitMs_ / 1000));
            std::fflush(stdout);
            RecordHang(name + " did not end within " + std::to_string(limitMs_ / 1000) + " s");
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }

    const DWORD limitMs_;
    const bool onFailure_;
    std::mutex lock_;
    std::string name_;
    ULONGLONG started_ = 0;
    bool running_ = false;
    bool reported_ = false;
    static inline CaseWatch* watch_ = nullptr;
};

}  // namespace

std::optional<std::string> RecordHang(const std::string& why, const std::vector<DWORD>& processes)
{
    const char* request = std::getenv("MIRELUNDE_FORENSICS_REQUEST");
    if (!request) return std::nullopt;
    const std::string path = DosPath(request);
    {
        std::ofstream part(path + ".part");
        part << why << "\n";
        for (DWORD process : processes) part << process << " ";
        part << "\n";
    }
    DeleteFileA((path + ".done").c_str());
    if (!MoveFileExA((path + ".part").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return std::nullopt;
    const ULONGLONG deadline = GetTickCount64() + kReportMs;
    while (GetFileAttributesA((path + ".done").c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount64() > deadline) return std::nullopt;
        Sleep(250);
    }
    std::ifstream done(path + ".done");
    const std::string folder = Trimmed(std::string(std::istreambuf_iterator<char>(done), {}));
    done.close();
    DeleteFileA((path + ".done").c_str());
    return DosPath(folder);
}

void WatchEachCase(DWORD limitMs)
{
    testing::UnitTest::GetInstance()->listeners().Append(new CaseWatch(limitMs));
}

std::string GuiThreadState(DWORD threadId)
{
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(threadId, &thread);
    char text[120];
    std::snprintf(text, sizeof text, "capture %p, menu %p, moving %p, flags 0x%lx",
                  static_cast<void*>(thread.hwndCapture), static_cast<void*>(thread.hwndMenuOwner),
                  static_cast<void*>(thread.hwndMoveSize), static_cast<unsigned long>(thread.flags));
    return text;
}

}  // namespace testing_support
