// The pumping process of the message-pump measures and the global hook pairs installed around its
// slices, shared by the pump and the companion measures.
#pragma once

#include "hook/Exports.h"
#include "settings/Handles.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/Paths.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace bench {

inline constexpr DWORD kWaitMs = 20000;
inline constexpr char kChildFlag[] = "--pump-child";

inline std::string EventName(const char* name, const std::string& tag)
{
    return std::string("MirelundeBench") + name + tag;
}

struct Slice {
    double wallNs = 0;       // per message
    double processorNs = 0;  // per message, the pumping thread's own, user and kernel
};

// The one pumping process of the whole measure: it times a slice whenever asked and answers on its
// standard output. Between slices it keeps taking its messages, as a program does.
class PumpChild {
public:
    bool Start()
    {
        const std::string tag = std::to_string(GetCurrentProcessId());
        go_.reset(CreateEventA(nullptr, FALSE, FALSE, EventName("Go", tag).c_str()));
        quit_.reset(CreateEventA(nullptr, TRUE, FALSE, EventName("Quit", tag).c_str()));
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        mirelunde::Handle write;
        if (!go_ || !quit_ || !CreatePipe(answers_.put(), write.put(), &inherit, 0)) return false;
        SetHandleInformation(answers_.get(), HANDLE_FLAG_INHERIT, 0);
        mirelunde::Handle nowhere(
            CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = write.get();
        startup.hStdError = nowhere.get();
        std::string line = "\"" + testing_support::OwnExecutable() + "\" " + kChildFlag + " " + tag;
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
            return false;
        process_.reset(info.hProcess);
        CloseHandle(info.hThread);
        return true;
    }

    // Zeros when the child does not answer.
    Slice Take()
    {
        SetEvent(go_.get());
        std::string answer;
        char c = 0;
        DWORD read = 0;
        while (ReadFile(answers_.get(), &c, 1, &read, nullptr) && read == 1 && c != '\n') answer += c;
        Slice slice;
        char* rest = nullptr;
        slice.wallNs = std::strtod(answer.c_str(), &rest);
        slice.processorNs = std::strtod(rest, nullptr);
        return slice;
    }

    ~PumpChild()
    {
        if (!process_) return;
        SetEvent(quit_.get());
        if (WaitForSingleObject(process_.get(), kWaitMs) != WAIT_OBJECT_0) TerminateProcess(process_.get(), 1);
    }

private:
    mirelunde::Handle go_, quit_, answers_, process_;
};

// A global hook pair from one library, installed by this process as the launcher installs its own:
// the two procedures for all threads, and for Mirelunde's pair the handles published in the
// settings key. Installing and removing it takes milliseconds, so the setups can change between
// short slices.
class HookPair {
public:
    HookPair(const char* file, const char* getMsgProc, const char* callWndProc, bool publish)
        : library_(LoadLibraryA(testing_support::BuiltFile(file).c_str())), publish_(publish)
    {
        if (!library_) return;
        getMsgProc_ = ProcAddress<HOOKPROC>(library_.get(), getMsgProc);
        callWndProc_ = ProcAddress<HOOKPROC>(library_.get(), callWndProc);
    }
    explicit operator bool() const { return getMsgProc_ != nullptr && callWndProc_ != nullptr; }

    bool Install()
    {
        getMessage_.reset(SetWindowsHookExA(WH_GETMESSAGE, getMsgProc_, library_.get(), 0));
        callWnd_.reset(SetWindowsHookExA(WH_CALLWNDPROC, callWndProc_, library_.get(), 0));
        if (publish_) {
            Publish(mirelunde::names::kHHook, getMessage_.get());
            Publish(mirelunde::names::kHWndHook, callWnd_.get());
        }
        return getMessage_ && callWnd_;
    }

    void Remove()
    {
        getMessage_.reset();
        callWnd_.reset();
    }

private:
    static void Publish(const char* name, HHOOK hook)
    {
        mirelunde::WriteRegDword(HKEY_CURRENT_USER, mirelunde::names::kSettingsKey, name,
                                 static_cast<DWORD>(reinterpret_cast<uintptr_t>(hook)));
    }

    mirelunde::Module library_;
    bool publish_;
    HOOKPROC getMsgProc_ = nullptr;
    HOOKPROC callWndProc_ = nullptr;
    mirelunde::Hook getMessage_, callWnd_;
};

}  // namespace bench
