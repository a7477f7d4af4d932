// Scratch keys below the real HKEY_CURRENT_USER, one pair per test process.
#include "tests/support/RegistrySandbox.h"

#include "settings/Registry.h"

#include <string>
#include <vector>

namespace testing_support {

namespace {

constexpr char kScratchParent[] = "Software\\Mirelunde Tests";
HKEY scratchUser = nullptr;
HKEY scratchMachine = nullptr;
std::string scratchName;

HKEY CreateScratch(const std::string& path)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    return key;
}

void Empty(HKEY root)
{
    std::vector<std::string> children;
    char name[512];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(root, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.emplace_back(name, length);
    }
    for (const std::string& child : children) mirelunde::DeleteRegTree(root, "", child.c_str());
    for (;;) {
        DWORD length = sizeof name;
        if (RegEnumValueA(root, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (RegDeleteValueA(root, name) != ERROR_SUCCESS) break;
    }
}

}  // namespace

bool RegistrySandbox::Install()
{
    scratchName = std::to_string(GetCurrentProcessId());
    const std::string base = std::string(kScratchParent) + "\\" + scratchName;
    scratchUser = CreateScratch(base + "\\HKCU");
    scratchMachine = CreateScratch(base + "\\HKLM");
    if (!scratchUser || !scratchMachine) return false;
    return RegOverridePredefKey(HKEY_CURRENT_USER, scratchUser) == ERROR_SUCCESS &&
           RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratchMachine) == ERROR_SUCCESS;
}

void RegistrySandbox::Clear()
{
    if (scratchUser) Empty(scratchUser);
    if (scratchMachine) Empty(scratchMachine);
}

void RegistrySandbox::Remove()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    if (scratchUser) RegCloseKey(scratchUser);
    if (scratchMachine) RegCloseKey(scratchMachine);
    scratchUser = scratchMachine = nullptr;
    mirelunde::DeleteRegTree(HKEY_CURRENT_USER, kScratchParent, scratchName.c_str());
}

}  // namespace testing_support
