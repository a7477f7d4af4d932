// The task that starts the launcher as administrator at logon, through the Task Scheduler's COM
// interface, and the login entry it stands in for.
#include "launcher/ElevatedStart.h"

#include "commands/Login.h"
#include "launcher/Elevation.h"
#include "launcher/InstallCheck.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <oleauto.h>
#include <shellapi.h>
#include <taskschd.h>

// The header at hand declares no logon trigger; its layout and identity are the system's.
MIDL_INTERFACE("72dade38-fae4-4b3e-baf4-5d009af02b1c")
ILogonTrigger : public ITrigger
{
    virtual HRESULT STDMETHODCALLTYPE get_Delay(BSTR * delay) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Delay(BSTR delay) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_UserId(BSTR * user) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_UserId(BSTR user) = 0;
};
__CRT_UUID_DECL(ILogonTrigger, 0x72dade38, 0xfae4, 0x4b3e, 0xba, 0xf4, 0x5d, 0x00, 0x9a, 0xf0, 0x2b, 0x1c)

namespace mirelunde {

namespace {

// Normal priority: a task's own default is below it.
constexpr int kTaskPriority = 4;
constexpr wchar_t kNoTimeLimit[] = L"PT0S";

template <typename T>
class Com {
public:
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com()
    {
        if (pointer_ != nullptr) pointer_->Release();
    }
    T* operator->() const { return pointer_; }
    T* get() const { return pointer_; }
    T** put() { return &pointer_; }
    template <typename U>
    HRESULT As(Com<U>& other) const
    {
        return pointer_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(other.put()));
    }

private:
    T* pointer_ = nullptr;
};

class Bstr {
public:
    explicit Bstr(const std::string& text) : text_(SysAllocString(Wide(text).c_str())) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(text_); }
    operator BSTR() const { return text_; }

private:
    BSTR text_;
};

class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment()
    {
        if (SUCCEEDED(result_)) CoUninitialize();
    }

private:
    HRESULT result_;
};

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return path.substr(0, slash == std::string::npos ? 0 : slash);
}

std::string TaskName()
{
    return UserSid();
}

HRESULT Connect(Com<ITaskService>& service)
{
    const HRESULT result = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, __uuidof(ITaskService),
                                            reinterpret_cast<void**>(service.put()));
    return FAILED(result) ? result : service->Connect(VARIANT{}, VARIANT{}, VARIANT{}, VARIANT{});
}

HRESULT TaskFolder(ITaskService* service, Com<ITaskFolder>& folder, bool create)
{
    HRESULT result = service->GetFolder(Bstr(names::kTaskFolder), folder.put());
    if (SUCCEEDED(result) || !create) return result;
    Com<ITaskFolder> root;
    result = service->GetFolder(Bstr("\\"), root.put());
    if (FAILED(result)) return result;
    return root->CreateFolder(Bstr(names::kTaskFolder + 1), VARIANT{}, folder.put());
}

HRESULT Register(const std::string& options)
{
    const std::string user = UserAccount();
    if (user.empty() || TaskName().empty()) return HRESULT_FROM_WIN32(ERROR_NO_SUCH_USER);
    Com<ITaskService> service;
    Com<ITaskFolder> folder;
    Com<ITaskDefinition> task;
    HRESULT result = Connect(service);
    if (SUCCEEDED(result)) result = TaskFolder(service.get(), folder, true);
    if (SUCCEEDED(result)) result = service->NewTask(0, task.put());

    Com<IPrincipal> principal;
    if (SUCCEEDED(result)) result = task->get_Principal(principal.put());
    if (SUCCEEDED(result)) result = principal->put_UserId(Bstr(user));
    if (SUCCEEDED(result)) result = principal->put_LogonType(TASK_LOGON_INTERACTIVE_TOKEN);
    if (SUCCEEDED(result)) result = principal->put_RunLevel(TASK_RUNLEVEL_HIGHEST);

    Com<ITaskSettings> settings;
    if (SUCCEEDED(result)) result = task->get_Settings(settings.put());
    if (SUCCEEDED(result)) result = settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE);
    if (SUCCEEDED(result)) result = settings->put_StopIfGoingOnBatteries(VARIANT_FALSE);
    if (SUCCEEDED(result)) result = settings->put_ExecutionTimeLimit(Bstr(Utf8(kNoTimeLimit)));
    if (SUCCEEDED(result)) result = settings->put_Priority(kTaskPriority);

    Com<ITriggerCollection> triggers;
    Com<ITrigger> trigger;
    Com<ILogonTrigger> logon;
    if (SUCCEEDED(result)) result = task->get_Triggers(triggers.put());
    if (SUCCEEDED(result)) result = triggers->Create(TASK_TRIGGER_LOGON, trigger.put());
    if (SUCCEEDED(result)) result = trigger.As(logon);
    // This user's logon only: without it, anybody's.
    if (SUCCEEDED(result)) result = logon->put_UserId(Bstr(user));

    const std::string launcher = ElevatedStartLauncher();
    Com<IActionCollection> actions;
    Com<IAction> action;
    Com<IExecAction> exec;
    if (SUCCEEDED(result)) result = task->get_Actions(actions.put());
    if (SUCCEEDED(result)) result = actions->Create(TASK_ACTION_EXEC, action.put());
    if (SUCCEEDED(result)) result = action.As(exec);
    if (SUCCEEDED(result)) result = exec->put_Path(Bstr(launcher));
    if (SUCCEEDED(result) && !options.empty()) result = exec->put_Arguments(Bstr(options));
    if (SUCCEEDED(result)) result = exec->put_WorkingDirectory(Bstr(FolderOf(launcher)));

    Com<IRegisteredTask> registered;
    if (SUCCEEDED(result))
        result = folder->RegisterTaskDefinition(Bstr(TaskName()), task.get(), TASK_CREATE_OR_UPDATE, VARIANT{},
                                                VARIANT{}, TASK_LOGON_INTERACTIVE_TOKEN, VARIANT{}, registered.put());
    return result;
}

HRESULT Unregister()
{
    Com<ITaskService> service;
    Com<ITaskFolder> folder;
    HRESULT result = Connect(service);
    if (SUCCEEDED(result)) result = TaskFolder(service.get(), folder, false);
    if (SUCCEEDED(result)) result = folder->DeleteTask(Bstr(TaskName()), 0);
    // Nothing to remove is what was asked for.
    if (result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || result == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND))
        return S_OK;
    return result;
}

// The login entry goes aside as the task comes, so the two never both start a launcher at login.
void SetLoginEntryAside()
{
    char entry[kLoginEntryBytes];
    if (!IsRunAtLogin() || !ReadRegString(HKEY_CURRENT_USER, names::kRunKey, names::kRunEntry, entry, sizeof entry))
        return;
    if (WriteRegString(HKEY_CURRENT_USER, names::kSettingsKey, names::kLoginEntrySetAside, entry))
        SwitchLoginEntry(false, nullptr);
}

void PutLoginEntryBack()
{
    char entry[kLoginEntryBytes];
    if (!ReadRegString(HKEY_CURRENT_USER, names::kSettingsKey, names::kLoginEntrySetAside, entry, sizeof entry)) return;
    if (!WriteRegString(HKEY_CURRENT_USER, names::kRunKey, names::kRunEntry, entry)) return;
    RegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(names::kSettingsKey).c_str(), 0, KEY_SET_VALUE, key.put()) ==
        ERROR_SUCCESS)
        RegDeleteValueW(key.get(), Wide(names::kLoginEntrySetAside).c_str());
}

}  // namespace

std::string ElevatedStartTask()
{
    return std::string(names::kTaskFolder) + "\\" + TaskName();
}

std::string ElevatedStartLauncher()
{
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    const std::string own = Utf8({path, length < ARRAYSIZE(path) ? length : 0});
    char launcher[kLauncherPathSize];
    return own.size() < kLauncherPathSize && LoginLauncherFor(own.c_str(), launcher) ? std::string(launcher) : own;
}

bool ElevatedStartOffered()
{
    return !FindChangeablePath(FolderOf(ElevatedStartLauncher()), true);
}

bool ElevatedStartOn()
{
    const ComApartment apartment;
    Com<ITaskService> service;
    Com<ITaskFolder> folder;
    Com<IRegisteredTask> task;
    return SUCCEEDED(Connect(service)) && SUCCEEDED(TaskFolder(service.get(), folder, false)) &&
           SUCCEEDED(folder->GetTask(Bstr(TaskName()), task.put()));
}

HRESULT SetElevatedStart(bool on, const std::string& options)
{
    const ComApartment apartment;
    const HRESULT result = on ? Register(options) : Unregister();
    if (FAILED(result)) return result;
    if (on)
        SetLoginEntryAside();
    else
        PutLoginEntryBack();
    return S_OK;
}

int SetElevatedStartAsAdministrator(bool on, const std::string& options, HWND owner)
{
    const std::wstring parameters =
        Wide(std::string(on ? "--elevated on" : "--elevated off") + (options.empty() ? "" : " " + options));
    const std::wstring launcher = Wide(ElevatedStartLauncher());
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    run.hwnd = owner;
    run.lpVerb = L"runas";
    run.lpFile = launcher.c_str();
    run.lpParameters = parameters.c_str();
    run.nShow = SW_HIDE;
    if (!ShellExecuteExW(&run) || run.hProcess == nullptr) return -1;
    const Handle process(run.hProcess);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    return GetExitCodeProcess(process.get(), &code) ? static_cast<int>(code) : -1;
}

}  // namespace mirelunde
