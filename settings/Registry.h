// The settings store: every registry read and write of the library goes through these.
#pragma once

#include "settings/Handles.h"

#include <windows.h>

namespace mirelunde {

// A key opened once to read several of its values; each read behaves as ReadRegDword or
// ReadRegString below, and a key that cannot be opened reads as holding no value.
class RegReader {
public:
    RegReader(HKEY root, const char* subKey);
    bool Dword(const char* name, DWORD& value) const;
    bool String(const char* name, char* buffer, unsigned size) const;

private:
    RegKey key_;
};

// True only for a REG_DWORD with data. On any successful query the value's raw bytes
// (at most 4) land in `value`, so callers that preset a default keep it otherwise.
bool ReadRegDword(HKEY root, const char* subKey, const char* name, DWORD& value);

// Reads a REG_SZ shorter than `size` bytes; the buffer always ends up holding a string.
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
