// Starting, waiting for and stopping the 32-bit companion launcher.
#include "launcher/Companion.h"

#include "launcher/LauncherTexts.h"
#include "launcher/Output.h"
#include "launcher/StopWait.h"
#include "launcher/WineVersion.h"
#include "settings/Language.h"
#include "settings/Text.h"

namespace mirelunde {

namespace {

constexpr char kCompanionPath[] = "x86\\mirelunde.exe";
constexpr DWORD kReadyWaitMs = 20000;
constexpr DWORD kStopWaitMs = 10000;

std::string OwnDirectory()
{
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    std::string result = Utf8({path, length < ARRAYSIZE(path) ? length : 0});
    result.resize(result.find_last_of("\\/") + 1);
    return result;
}

void GoingOnWithout(const std::string& path, const std::string& reason)
{
    Warn(Message(texts::kCompanionLeftOutFormat, path.c_str(), reason.c_str()));
}

std::string Error(UINT what)
{
    const DWORD error = GetLastError();
    return WithError(Text(what), error);
}

// A standard handle that the companion inherits, or none: one this launcher opened for itself (the
// console it attached to) would name nothing, or another handle, there; the companion then finds
// that console itself.
HANDLE Inheritable(DWORD which)
{
    const HANDLE handle = GetStdHandle(which);
    DWORD flags = 0;
    return handle != INVALID_HANDLE_VALUE && GetHandleInformation(handle, &flags) && (flags & HANDLE_FLAG_INHERIT) != 0
               ? handle
               : nullptr;
}

// Wine serves a program only through the newest global hook's architecture, the 64-bit launcher's:
// the companion's hooks shade no 32-bit program there, and a 64-bit program tries to load their
// library, and fails, at every message passed down the chain (scripts/bench companion).
bool LeftOutUnderWine()
{
    return WineMajorVersion() != 0 && GetEnvironmentVariableA(kCompanionUnderWine, nullptr, 0) == 0;
}

Handle KillOnCloseJob()
{
    Handle job(CreateJobObjectA(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job && !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
        job.reset();
    return job;
}

}  // namespace

bool StartedAsCompanion()
{
    const bool companion = GetEnvironmentVariableA(kCompanionMarker, nullptr, 0) != 0;
    SetEnvironmentVariableA(kCompanionMarker, nullptr);
    return companion;
}

void SignalCompanionReady()
{
    Handle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, kCompanionReadyEvent));
    if (ready) SetEvent(ready.get());
}

void Companion::Start(const std::string& options)
{
    const std::string path = OwnDirectory() + kCompanionPath;
    if (LeftOutUnderWine()) {
        GoingOnWithout(path, Text(texts::kCompanionNotUnderWine));
        return;
    }
    if (GetFileAttributesW(Wide(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
        GoingOnWithout(path, Error(texts::kCompanionNotFound));
        return;
    }
    Handle ready(CreateEventA(nullptr, TRUE, FALSE, kCompanionReadyEvent));
    if (!ready) {
        GoingOnWithout(path, Error(texts::kCompanionNotWaitedFor));
        return;
    }
    ResetEvent(ready.get());

    std::wstring commandLine = Wide("\"" + path + "\"" + (options.empty() ? "" : " " + options));
    // It writes where this launcher writes; a GUI program is given no standard handles otherwise.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = Inheritable(STD_INPUT_HANDLE);
    startup.hStdOutput = Inheritable(STD_OUTPUT_HANDLE);
    startup.hStdError = Inheritable(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    SetEnvironmentVariableA(kCompanionMarker, "1");
    // Started suspended, so it is in the job before it can install anything.
    const BOOL started = CreateProcessW(Wide(path).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_SUSPENDED, nullptr, nullptr, &startup, &info);
    const DWORD error = GetLastError();
    SetEnvironmentVariableA(kCompanionMarker, nullptr);
    if (!started) {
        SetLastError(error);
        GoingOnWithout(path, Error(texts::kCompanionNotStarted));
        return;
    }
    process_.reset(info.hProcess);
    Handle thread(info.hThread);
    job_ = KillOnCloseJob();
    if (job_ && !AssignProcessToJobObject(job_.get(), process_.get())) job_.reset();
    ResumeThread(thread.get());

    // A stop meanwhile ends the wait: Stop() then ends the companion too.
    const HANDLE waits[] = {ready.get(), process_.get(), StopEvent()};
    const DWORD woken = WaitForMultipleObjects(3, waits, FALSE, kReadyWaitMs);
    ready_ = woken == WAIT_OBJECT_0;
    if (woken == WAIT_OBJECT_0 + 1) {
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        process_.reset();
        GoingOnWithout(path, Message(texts::kCompanionExitedFormat, code));
    } else if (woken != WAIT_OBJECT_0 && woken != WAIT_OBJECT_0 + 2) {
        TerminateProcess(process_.get(), 1);
        process_.reset();
        GoingOnWithout(path, Message(texts::kCompanionNotReadyFormat, kReadyWaitMs / 1000));
    }
}

void Companion::Stop()
{
    if (!process_ || WaitForSingleObject(process_.get(), 0) != WAIT_TIMEOUT) return;
    if (!ready_) {
        // Stopped while it was starting: it has changed no window yet, and might publish its hooks
        // after the stop request.
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), kStopWaitMs);
        return;
    }
    // Stopped another way than by "HHook", this launcher still has to give the companion the stop
    // request.
    ClearHHook();
    if (WaitForSingleObject(process_.get(), kStopWaitMs) == WAIT_TIMEOUT) {
        Warn(Text(texts::kCompanionNotStopped));
        TerminateProcess(process_.get(), 1);
    }
}

}  // namespace mirelunde
