// Reading the launcher's own token, and the security of the objects the user's programs open.
#include "launcher/Elevation.h"

#include "launcher/WineVersion.h"
#include "settings/Handles.h"
#include "settings/Text.h"

#include <sddl.h>

#include <cwchar>
#include <vector>

namespace mirelunde {

namespace {

std::vector<BYTE> TokenUser()
{
    std::vector<BYTE> buffer;
    Handle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return buffer;
    DWORD size = 0;
    GetTokenInformation(token.get(), ::TokenUser, nullptr, 0, &size);
    buffer.resize(size);
    if (size == 0 || !GetTokenInformation(token.get(), ::TokenUser, buffer.data(), size, &size)) buffer.clear();
    return buffer;
}

PSID UserSidOf(std::vector<BYTE>& tokenUser)
{
    return tokenUser.empty() ? nullptr : reinterpret_cast<TOKEN_USER*>(tokenUser.data())->User.Sid;
}

}  // namespace

bool RunsElevated()
{
    if (WineMajorVersion() != 0) return GetEnvironmentVariableA(kElevatedUnderWine, nullptr, 0) != 0;
    Handle token;
    TOKEN_ELEVATION elevation{};
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    if (GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
        elevation.TokenIsElevated != 0)
        return true;
    // The limited half of an administrator's split token, whatever its groups say (Wine 10 leaves
    // Administrators enabled in it).
    if (GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size) &&
        type == TokenElevationTypeLimited)
        return false;
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof administrators;
    BOOL member = FALSE;
    return CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &sidSize) &&
           CheckTokenMembership(nullptr, administrators, &member) && member;
}

void LoadFromSystemFolderOnly()
{
    // Looked up, as systems before Windows 8 without its update lack it.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    if (const auto set = ProcAddress<SetDirectories>(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories"))
        set(kSearchSystem32);
}

std::string UserSid()
{
    std::vector<BYTE> tokenUser = TokenUser();
    wchar_t* text = nullptr;
    if (UserSidOf(tokenUser) == nullptr || !ConvertSidToStringSidW(UserSidOf(tokenUser), &text)) return {};
    std::string sid = Utf8(text);
    LocalFree(text);
    return sid;
}

std::string UserAccount()
{
    std::vector<BYTE> tokenUser = TokenUser();
    wchar_t name[256], domain[256];
    DWORD nameSize = ARRAYSIZE(name), domainSize = ARRAYSIZE(domain);
    SID_NAME_USE use{};
    if (UserSidOf(tokenUser) == nullptr ||
        !LookupAccountSidW(nullptr, UserSidOf(tokenUser), name, &nameSize, domain, &domainSize, &use))
        return {};
    return Utf8(domain) + "\\" + Utf8(name);
}

UserObjectSecurity::UserObjectSecurity(DWORD userRights)
{
    if (!RunsElevated()) return;
    const std::string sid = UserSid();
    if (sid.empty()) return;
    // A medium label that bars writing from below: a sandboxed program of the user's cannot signal.
    wchar_t rights[16];
    swprintf(rights, ARRAYSIZE(rights), L"0x%lx", static_cast<unsigned long>(userRights));
    const std::wstring sddl =
        L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;" + std::wstring(rights) + L";;;" + Wide(sid) + L")S:(ML;;NW;;;ME)";
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor_, nullptr))
        descriptor_ = nullptr;
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor_;
}

UserObjectSecurity::~UserObjectSecurity()
{
    if (descriptor_ != nullptr) LocalFree(descriptor_);
}

}  // namespace mirelunde
