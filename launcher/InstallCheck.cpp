// Reading the security of the launcher's folder and files, entry by entry.
#include "launcher/InstallCheck.h"

#include "settings/Text.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

namespace mirelunde {

namespace {

constexpr char kLibraryName[] = "Mirelunde.dll";
constexpr char kLauncherName[] = "mirelunde.exe";
constexpr char kCompanionFolder[] = "x86";

constexpr ACCESS_MASK kChangesFile =
    FILE_WRITE_DATA | FILE_APPEND_DATA | WRITE_DAC | WRITE_OWNER | DELETE | GENERIC_WRITE | GENERIC_ALL;
// FILE_ADD_FILE and FILE_ADD_SUBDIRECTORY are the file's write and append rights.
constexpr ACCESS_MASK kChangesFolder = kChangesFile | FILE_DELETE_CHILD;
// Enough to rename the folder away and put another in its place.
constexpr ACCESS_MASK kChangesChild = FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER | GENERIC_ALL;

// Administrators, SYSTEM and TrustedInstaller.
constexpr const wchar_t* kTrusted[] = {L"S-1-5-32-544", L"S-1-5-18",
                                       L"S-1-5-80-956008885-3425870976-2464297244-1233333226-4185012316"};
constexpr wchar_t kEveryone[] = L"S-1-1-0";
constexpr wchar_t kOwnerRights[] = L"S-1-3-4";

std::wstring SidText(PSID sid)
{
    wchar_t* text = nullptr;
    if (sid == nullptr || !ConvertSidToStringSidW(sid, &text)) return L"?";
    std::wstring result = text;
    LocalFree(text);
    return result;
}

bool Trusted(const std::wstring& sid)
{
    for (const wchar_t* trusted : kTrusted)
        if (sid == trusted) return true;
    return false;
}

std::string Who(const std::wstring& sid)
{
    PSID binary = nullptr;
    std::string who = Utf8(sid);
    if (!ConvertStringSidToSidW(sid.c_str(), &binary)) return who;
    wchar_t name[256], domain[256];
    DWORD nameSize = ARRAYSIZE(name), domainSize = ARRAYSIZE(domain);
    SID_NAME_USE use{};
    if (LookupAccountSidW(nullptr, binary, name, &nameSize, domain, &domainSize, &use))
        who = domain[0] != L'\0' ? Utf8(domain) + "\\" + Utf8(name) : Utf8(name);
    LocalFree(binary);
    return who;
}

// The SID of the first account besides the trusted ones that may change the path; empty when none.
// Deny entries are passed over: they can only take rights away.
std::wstring ChangedBy(const std::string& path, ACCESS_MASK changes, bool& missing)
{
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD status = GetNamedSecurityInfoW(Wide(path).c_str(), SE_FILE_OBJECT,
                                               OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                                               &dacl, nullptr, &descriptor);
    missing = status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
    if (status != ERROR_SUCCESS) return L"?";
    std::wstring found;
    const std::wstring ownerSid = SidText(owner);
    // The owner may always rewrite the security.
    if (!Trusted(ownerSid)) found = ownerSid;
    if (found.empty() && dacl == nullptr) found = kEveryone;
    for (DWORD index = 0; found.empty() && index < dacl->AceCount; ++index) {
        void* ace = nullptr;
        if (!GetAce(dacl, index, &ace)) {
            found = L"?";
            break;
        }
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if ((header->AceFlags & INHERIT_ONLY_ACE) != 0) continue;
        if (header->AceType == ACCESS_DENIED_ACE_TYPE || header->AceType == ACCESS_DENIED_OBJECT_ACE_TYPE ||
            header->AceType == ACCESS_DENIED_CALLBACK_ACE_TYPE || header->AceType == SYSTEM_AUDIT_ACE_TYPE)
            continue;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        if ((allowed->Mask & changes) == 0) continue;
        // Entries of other shapes hold their SID elsewhere: not read, so not trusted.
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_ALLOWED_CALLBACK_ACE_TYPE) {
            found = L"?";
            break;
        }
        std::wstring sid = SidText(const_cast<DWORD*>(&allowed->SidStart));
        if (sid == kOwnerRights) sid = ownerSid;
        if (!Trusted(sid)) found = sid;
    }
    LocalFree(descriptor);
    return found;
}

}  // namespace

std::string LauncherFolder()
{
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    std::string folder = Utf8({path, length < ARRAYSIZE(path) ? length : 0});
    const size_t slash = folder.find_last_of("\\/");
    folder.resize(slash == std::string::npos ? 0 : slash);
    return folder;
}

std::optional<ChangeablePath> FindChangeablePath(const std::string& folder, bool companionToo)
{
    struct Checked {
        std::string path;
        ACCESS_MASK changes;
        bool mayBeMissing;
    };
    // "C:\\" rather than "C:", which names the current folder of that drive.
    const size_t slash = folder.find_last_of("\\/");
    std::string parent = folder.substr(0, slash == std::string::npos ? 0 : slash);
    if (!parent.empty() && parent.back() == ':') parent += '\\';
    const std::string companion = folder + "\\" + kCompanionFolder;
    const Checked paths[] = {
        {parent, kChangesChild, false},
        {folder, kChangesFolder, false},
        {folder + "\\" + kLauncherName, kChangesFile, false},
        {folder + "\\" + kLibraryName, kChangesFile, false},
        {companion, kChangesFolder, true},
        {companion + "\\" + kLauncherName, kChangesFile, true},
        {companion + "\\" + kLibraryName, kChangesFile, true},
    };
    for (const Checked& checked : paths) {
        if (checked.mayBeMissing && !companionToo) continue;
        bool missing = false;
        const std::wstring sid = ChangedBy(checked.path, checked.changes, missing);
        // Nobody else can add a file to a folder that nobody else can change.
        if (checked.mayBeMissing && missing) continue;
        if (!sid.empty()) return ChangeablePath{checked.path, sid == L"?" ? std::string() : Who(sid)};
    }
    return std::nullopt;
}

}  // namespace mirelunde
