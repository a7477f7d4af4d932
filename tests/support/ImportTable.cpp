// Walks the import descriptors of a mapped image and writes each slot.
#include "tests/support/ImportTable.h"

#include <cstdint>

namespace testing_support {

namespace {

template <typename T>
T* At(HMODULE module, DWORD rva)
{
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

bool Write(void** slot, void* value)
{
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return false;
    *slot = value;
    VirtualProtect(slot, sizeof *slot, old, &old);
    return true;
}

}  // namespace

bool BindImports(HMODULE module, const std::function<void*(const char*, const char*, void*)>& choose)
{
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = At<const IMAGE_NT_HEADERS>(module, dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return true;

    for (auto* entry = At<const IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress); entry->Name != 0; ++entry) {
        const char* dll = At<const char>(module, entry->Name);
        const HMODULE dependency = LoadLibraryA(dll);
        if (dependency == nullptr) return false;
        const DWORD names = entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk;
        auto* lookup = At<const IMAGE_THUNK_DATA>(module, names);
        auto* slots = At<IMAGE_THUNK_DATA>(module, entry->FirstThunk);
        for (; lookup->u1.AddressOfData != 0; ++lookup, ++slots) {
            void** slot = reinterpret_cast<void**>(&slots->u1.Function);
            if (IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal)) {
                const auto ordinal =
                    reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(IMAGE_ORDINAL(lookup->u1.Ordinal)));
                if (!Write(slot, reinterpret_cast<void*>(GetProcAddress(dependency, ordinal)))) return false;
                continue;
            }
            const char* function =
                At<const IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(lookup->u1.AddressOfData))->Name;
            void* real = reinterpret_cast<void*>(GetProcAddress(dependency, function));
            if (real == nullptr || !Write(slot, choose(dll, function, real))) return false;
        }
    }
    return true;
}

}  // namespace testing_support
