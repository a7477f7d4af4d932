// The settings store: one open, one query or set, one close per call, or one open and close for the
// several values read when the library arrives in a process; nothing is cached.
#include "settings/Registry.h"

#include "settings/Handles.h"
#include "settings/ProcessSettings.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace mirelunde {

namespace {

constexpr size_t kKeyPathSize = 1024;
constexpr DWORD kSubKeyNameSize = 512;
constexpr size_t kValueNameSize = 256;

// Key paths and value names for the W functions: a trace key's path holds the program's name.
using KeyPath = WideText<kKeyPathSize>;
using ValueName = WideText<kValueNameSize>;

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

// The UTF-8 form of the UTF-16 units a REG_SZ holds, into `buffer` when it is shorter than `size`
// bytes (its stored terminator counted); `stored` gets its length, as ReadRegString tells it.
bool TakeString(const wchar_t* units, DWORD bytes, char* buffer, unsigned size, DWORD* stored)
{
    const DWORD count = bytes / sizeof(wchar_t);
    DWORD text = 0;
    while (text < count && units[text] != L'\0') ++text;
    const std::string narrow = Utf8(std::wstring_view(units, text));
    // A value with units after its text (a zero inside it) is counted by its bytes as it was read.
    const std::string rest = count > text + 1 ? Utf8(std::wstring_view(units + text + 1, count - text - 1)) : "";
    const DWORD length = static_cast<DWORD>(narrow.size() + (count > text ? 1 + rest.size() : 0));
    const bool ok = length < size;
    if (ok) std::memcpy(buffer, narrow.data(), narrow.size());
    buffer[ok ? narrow.size() : 0] = '\0';
    if (stored != nullptr) *stored = ok ? length : 0;
    return ok;
}

}  // namespace

RegReader::RegReader(HKEY root, const char* subKey)
{
    if (RegOpenKeyExW(root, KeyPath(subKey), 0, KEY_QUERY_VALUE, key_.put()) != ERROR_SUCCESS) key_.reset();
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
    const ValueName wideName(name);
    // UTF-8 takes at least one byte for each UTF-16 unit, so a longer value cannot fit.
    bool ok = key_ && RegQueryValueExW(key_.get(), wideName, nullptr, &type, nullptr, &length) == ERROR_SUCCESS &&
              type == REG_SZ && length / sizeof(wchar_t) < size;
    std::wstring units;
    if (ok) {
        units.resize(size);
        length = size * sizeof(wchar_t);
        ok = RegQueryValueExW(key_.get(), wideName, nullptr, &type, reinterpret_cast<BYTE*>(units.data()), &length) ==
                 ERROR_SUCCESS &&
             type == REG_SZ && length / sizeof(wchar_t) < size;  // the value may have grown between the two queries
    }
    if (ok) return TakeString(units.data(), length, buffer, size, stored);
    buffer[0] = '\0';
    if (stored != nullptr) *stored = 0;
    return false;
}

bool RegReader::Has(const char* name) const
{
    return key_ &&
           RegQueryValueExW(key_.get(), ValueName(name), nullptr, nullptr, nullptr, nullptr) != ERROR_FILE_NOT_FOUND;
}

bool RegReader::Raw(const char* name, DWORD& type, std::string& bytes) const
{
    if (!key_) return false;
    const ValueName wideName(name);
    for (;;) {  // again while the value grows between the two queries
        DWORD size = 0;
        if (RegQueryValueExW(key_.get(), wideName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
        bytes.resize(size);
        const LONG status =
            RegQueryValueExW(key_.get(), wideName, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
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
    DWORD index = 0;
    for (; index < kMostValues; ++index) {
        wchar_t name[kNameSize];
        DWORD nameLength = kNameSize;
        Value taken;
        taken.size = sizeof taken.data;
        LONG status =
            RegEnumValueW(reader_.Key(), index, name, &nameLength, nullptr, &taken.type, taken.data, &taken.size);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_MORE_DATA) {  // the data, or the name, is too long: the name tells whose
            nameLength = kNameSize;
            status = RegEnumValueW(reader_.Key(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
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

// The names asked for are ASCII: a name met with any other character is none of them.
RegSnapshot::Value* RegSnapshot::Find(const wchar_t* name)
{
    char ascii[kNameSize];
    size_t at = 0;
    for (; name[at] != L'\0'; ++at) {
        if (name[at] >= 0x80 || at + 1 == kNameSize) return nullptr;
        ascii[at] = static_cast<char>(name[at]);
    }
    ascii[at] = '\0';
    return Find(ascii);
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
    if (found->state == State::Taken && found->type == REG_SZ)
        return TakeString(reinterpret_cast<const wchar_t*>(found->data), found->size, buffer, size, stored);
    buffer[0] = '\0';
    if (stored != nullptr) *stored = 0;
    return false;
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
    if (RegCreateKeyExW(root, KeyPath(subKey), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS ||
        !key)
        return false;
    return RegSetValueExW(key.get(), ValueName(name), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

}  // namespace

bool WriteRegDword(HKEY root, const char* subKey, const char* name, DWORD value)
{
    return SetValue(root, subKey, name, REG_DWORD, &value, sizeof value);
}

bool WriteRegString(HKEY root, const char* subKey, const char* name, const char* text)
{
    if (text == nullptr) return false;
    const std::wstring wide = Wide(text);
    return SetValue(root, subKey, name, REG_SZ, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
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
    if (RegOpenKeyExW(root, KeyPath(parentPath), 0, KEY_READ, parent.put()) != ERROR_SUCCESS) return;

    // Collect the children first: deleting while enumerating would shift the indices.
    std::vector<std::string> children;
    {
        RegKey key;
        if (RegOpenKeyExW(parent.get(), KeyPath(keyName), 0, KEY_ENUMERATE_SUB_KEYS, key.put()) != ERROR_SUCCESS)
            return;
        wchar_t child[kSubKeyNameSize];
        for (DWORD index = 0;; ++index) {
            DWORD length = kSubKeyNameSize - 1;
            if (RegEnumKeyExW(key.get(), index, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            children.push_back(Utf8(std::wstring_view(child, length)));
        }
    }
    for (const std::string& child : children) DeleteRegTree(parent.get(), keyName, child.c_str());
    RegDeleteKeyW(parent.get(), KeyPath(keyName));
}

}  // namespace mirelunde
