// The settings store: one open, one query or set, one close per call, or one open and close for the
// several values read when the library arrives in a process; nothing is cached.
#include "settings/Registry.h"

#include "settings/Handles.h"
#include "settings/ProcessSettings.h"
#include "settings/SettingsNames.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace mirelunde {

namespace {

constexpr size_t kKeyPathSize = 1024;
constexpr DWORD kSubKeyNameSize = 512;

// Builds the trace key of one window; false when there is no trace or it does not fit.
bool WindowKeyPath(HWND window, char (&path)[kKeyPathSize])
{
    if (!processSettings.modulesKeyPath) return false;
    const int written = std::snprintf(path, sizeof path, "%s\\hwnd 0x%x", processSettings.modulesKeyPath->c_str(),
                                      static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)));
    return written > 0 && static_cast<size_t>(written) < sizeof path;
}

// A text such as `reg add` writes without a type ("0" reads as 48), binary data or a short value is
// no DWORD setting: it counts as absent, so its default holds.
bool IsWholeDword(DWORD type, DWORD size)
{
    return type == REG_DWORD && size == sizeof(DWORD);
}

}  // namespace

RegReader::RegReader(HKEY root, const char* subKey)
{
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, key_.put()) != ERROR_SUCCESS) key_.reset();
}

bool RegReader::Dword(const char* name, DWORD& value) const
{
    if (!key_) return false;
    // Query into a copy: a value of any other type or size must leave the caller's default intact.
    DWORD data = 0;
    DWORD type = REG_NONE;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        !IsWholeDword(type, size))
        return false;
    value = data;
    return true;
}

bool RegReader::String(const char* name, char* buffer, unsigned size, DWORD* stored) const
{
    if (buffer == nullptr || size == 0) return false;
    DWORD type = REG_NONE;
    DWORD length = 0;
    bool ok = key_ && RegQueryValueExA(key_.get(), name, nullptr, &type, nullptr, &length) == ERROR_SUCCESS &&
              type == REG_SZ && length < size;
    if (ok) {
        length = size;
        ok = RegQueryValueExA(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &length) ==
                 ERROR_SUCCESS &&
             type == REG_SZ && length < size;  // the value may have grown between the two queries
    }
    buffer[ok ? length : 0] = '\0';
    if (stored != nullptr) *stored = ok ? length : 0;
    return ok;
}

bool RegReader::Has(const char* name) const
{
    return key_ && RegQueryValueExA(key_.get(), name, nullptr, nullptr, nullptr, nullptr) != ERROR_FILE_NOT_FOUND;
}

bool RegReader::Raw(const char* name, DWORD& type, std::string& bytes) const
{
    if (!key_) return false;
    for (;;) {  // again while the value grows between the two queries
        DWORD size = 0;
        if (RegQueryValueExA(key_.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
        bytes.resize(size);
        const LONG status =
            RegQueryValueExA(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
        if (status == ERROR_MORE_DATA) continue;
        bytes.resize(size);
        return status == ERROR_SUCCESS;
    }
}

RegSnapshot::RegSnapshot(HKEY root, const char* subKey, std::initializer_list<const char*> names)
    : reader_(root, subKey)
{
    for (const char* name : names)
        if (count_ < kMostNames) values_[count_++].name = name;
    if (!reader_.Key()) return;

    // A key with more values than this is not the settings key as the library writes it: the
    // values not met by then are queried by name instead.
    constexpr DWORD kMostValues = 64;
    constexpr DWORD kNameSize = 64;  // longer than any name the library reads
    DWORD index = 0;
    for (; index < kMostValues; ++index) {
        char name[kNameSize];
        DWORD nameLength = kNameSize;
        Value taken;
        taken.size = sizeof taken.data;
        LONG status =
            RegEnumValueA(reader_.Key(), index, name, &nameLength, nullptr, &taken.type, taken.data, &taken.size);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_MORE_DATA) {  // the data, or the name, is too long: the name tells whose
            nameLength = kNameSize;
            status = RegEnumValueA(reader_.Key(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
            if (status != ERROR_SUCCESS) continue;
            if (Value* value = Find(name)) value->state = State::Unread;
            continue;
        }
        if (status != ERROR_SUCCESS) continue;
        if (Value* value = Find(name)) {
            taken.name = value->name;
            taken.state = State::Taken;
            *value = taken;
        }
    }
    if (index == kMostValues)
        for (size_t i = 0; i < count_; ++i)
            if (values_[i].state == State::Absent) values_[i].state = State::Unread;
}

RegSnapshot::Value* RegSnapshot::Find(const char* name)
{
    for (size_t i = 0; i < count_; ++i)
        if (lstrcmpiA(values_[i].name, name) == 0) return &values_[i];
    return nullptr;
}

const RegSnapshot::Value* RegSnapshot::Find(const char* name) const
{
    return const_cast<RegSnapshot*>(this)->Find(name);
}

bool RegSnapshot::Dword(const char* name, DWORD& value) const
{
    const Value* found = Find(name);
    if (found == nullptr || found->state == State::Unread) return reader_.Dword(name, value);
    if (found->state == State::Absent || !IsWholeDword(found->type, found->size)) return false;
    std::memcpy(&value, found->data, sizeof value);
    return true;
}

bool RegSnapshot::String(const char* name, char* buffer, unsigned size, DWORD* stored) const
{
    if (buffer == nullptr || size == 0) return false;
    const Value* found = Find(name);
    if (found == nullptr || found->state == State::Unread) return reader_.String(name, buffer, size, stored);
    const bool ok = found->state == State::Taken && found->type == REG_SZ && found->size < size;
    if (ok) std::memcpy(buffer, found->data, found->size);
    buffer[ok ? found->size : 0] = '\0';
    if (stored != nullptr) *stored = ok ? found->size : 0;
    return ok;
}

bool ReadRegDword(HKEY root, const char* subKey, const char* name, DWORD& value)
{
    return RegReader(root, subKey).Dword(name, value);
}

bool ReadRegString(HKEY root, const char* subKey, const char* name, char* buffer, unsigned size)
{
    if (buffer == nullptr || size == 0) return false;
    return RegReader(root, subKey).String(name, buffer, size);
}

namespace {

bool SetValue(HKEY root, const char* subKey, const char* name, DWORD type, const void* data, DWORD size)
{
    RegKey key;
    if (RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS ||
        !key)
        return false;
    return RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

}  // namespace

bool WriteRegDword(HKEY root, const char* subKey, const char* name, DWORD value)
{
    return SetValue(root, subKey, name, REG_DWORD, &value, sizeof value);
}

bool WriteRegString(HKEY root, const char* subKey, const char* name, const char* text)
{
    if (text == nullptr) return false;
    return SetValue(root, subKey, name, REG_SZ, text, static_cast<DWORD>(std::char_traits<char>::length(text) + 1));
}

bool WriteWindowString(HWND window, const char* name, const char* text)
{
    char path[kKeyPathSize];
    return WindowKeyPath(window, path) && WriteRegString(HKEY_CURRENT_USER, path, name, text);
}

void WriteWindowDword(HWND window, const char* name, DWORD value)
{
    char path[kKeyPathSize];
    if (WindowKeyPath(window, path)) WriteRegDword(HKEY_CURRENT_USER, path, name, value);
}

bool SettingOn(const char* name, bool whenAbsent)
{
    DWORD value = whenAbsent ? 1 : 0;
    ReadRegDword(HKEY_CURRENT_USER, names::kSettingsKey, name, value);
    return value != 0;
}

void DeleteRegTree(HKEY root, const char* parentPath, const char* keyName)
{
    RegKey parent;
    if (RegOpenKeyExA(root, parentPath, 0, KEY_READ, parent.put()) != ERROR_SUCCESS) return;

    // Collect the children first: deleting while enumerating would shift the indices.
    std::vector<std::string> children;
    {
        RegKey key;
        if (RegOpenKeyExA(parent.get(), keyName, 0, KEY_ENUMERATE_SUB_KEYS, key.put()) != ERROR_SUCCESS) return;
        char child[kSubKeyNameSize];
        for (DWORD index = 0;; ++index) {
            DWORD length = kSubKeyNameSize - 1;
            if (RegEnumKeyExA(key.get(), index, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            children.emplace_back(child, length);
        }
    }
    for (const std::string& child : children) DeleteRegTree(parent.get(), keyName, child.c_str());
    RegDeleteKeyA(parent.get(), keyName);
}

}  // namespace mirelunde
