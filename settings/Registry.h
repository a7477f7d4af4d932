// The settings store: every registry read and write of the library goes through these.
#pragma once

#include "settings/Handles.h"

#include <windows.h>

#include <initializer_list>
#include <string>

namespace mirelunde {

// A key opened once to read several of its values; each read behaves as ReadRegDword or
// ReadRegString below, and a key that cannot be opened reads as holding no value.
class RegReader {
public:
    RegReader(HKEY root, const char* subKey);
    bool Dword(const char* name, DWORD& value) const;
    // `stored`, when asked for, gets the bytes the value holds (a terminator it holds included).
    bool String(const char* name, char* buffer, unsigned size, DWORD* stored = nullptr) const;
    // Whether the key holds the value, whatever its type and size.
    bool Has(const char* name) const;
    // The value's type and bytes, whatever its type and size (a REG_SZ as its UTF-16 units); false when
    // the key does not hold it.
    bool Raw(const char* name, DWORD& type, std::string& bytes) const;
    HKEY Key() const { return key_.get(); }

private:
    RegKey key_;
};

// The values a process arrives with, taken from their key in one pass: one open, one call for each
// value the key holds and one more, one close. Each read behaves as RegReader's would; a value too
// large for the pass, or beyond the most it looks at, is queried by itself.
class RegSnapshot {
public:
    static constexpr size_t kMostNames = 9;
    RegSnapshot(HKEY root, const char* subKey, std::initializer_list<const char*> names);
    bool Dword(const char* name, DWORD& value) const;
    bool String(const char* name, char* buffer, unsigned size, DWORD* stored = nullptr) const;

private:
    enum class State { Absent, Taken, Unread };
    struct Value {
        const char* name = nullptr;
        State state = State::Absent;
        DWORD type = REG_NONE;
        DWORD size = 0;
        BYTE data[MAX_PATH * sizeof(wchar_t)] = {};  // a REG_SZ's UTF-16 units
    };
    static constexpr size_t kNameSize = 64;  // longer than any name the library reads
    Value* Find(const char* name);
    Value* Find(const wchar_t* name);
    const Value* Find(const char* name) const;

    RegReader reader_;
    Value values_[kMostNames];
    size_t count_ = 0;
};

// True only for a REG_DWORD of 4 bytes, which then lands in `value`; any other value, like an absent
// one, leaves `value` as it was, so callers that preset a default keep it.
bool ReadRegDword(HKEY root, const char* subKey, const char* name, DWORD& value);

// Reads a REG_SZ whose UTF-8 form is shorter than `size` bytes; the buffer always ends up holding a
// string. Every string of these functions is UTF-8; value names are ASCII, as the library's are.
bool ReadRegString(HKEY root, const char* subKey, const char* name, char* buffer, unsigned size);

// Both create the key and any missing keys above it.
bool WriteRegDword(HKEY root, const char* subKey, const char* name, DWORD value);
bool WriteRegString(HKEY root, const char* subKey, const char* name, const char* text);

// The per-window trace below the process's Modules key; nothing happens while no trace is kept.
bool WriteWindowString(HWND window, const char* name, const char* text);
void WriteWindowDword(HWND window, const char* name, DWORD value);

// A DWORD setting of the settings key read at the moment of use: nonzero is on.
bool SettingOn(const char* name, bool whenAbsent);

// Deletes `keyName` under `parentPath` with everything below it.
void DeleteRegTree(HKEY root, const char* parentPath, const char* keyName);

}  // namespace mirelunde
