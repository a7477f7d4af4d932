// A small PE reader: enough of the headers to tell the subsystem and list imported DLLs and exported
// names.
#include "tests/support/PeImage.h"

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace testing_support {

namespace {

class File {
public:
    explicit File(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    template <typename T>
    bool Read(size_t offset, T& value) const
    {
        if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T)) return false;
        std::memcpy(&value, bytes_.data() + offset, sizeof(T));
        return true;
    }

    std::string String(size_t offset) const
    {
        std::string text;
        while (offset < bytes_.size() && bytes_[offset] != '\0') text += bytes_[offset++];
        return text;
    }

private:
    std::vector<char> bytes_;
};

}  // namespace

PeTables ReadPeTables(const std::string& path)
{
    PeTables tables;
    const File file(path);
    IMAGE_DOS_HEADER dos{};
    DWORD signature = 0;
    IMAGE_FILE_HEADER header{};
    if (!file.Read(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return tables;
    const size_t peOffset = static_cast<size_t>(dos.e_lfanew);
    if (!file.Read(peOffset, signature) || signature != IMAGE_NT_SIGNATURE) return tables;
    if (!file.Read(peOffset + sizeof signature, header)) return tables;

    const size_t optionalOffset = peOffset + sizeof signature + sizeof header;
    WORD magic = 0;
    file.Read(optionalOffset, magic);
    tables.is64 = magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    file.Read(optionalOffset + (tables.is64 ? offsetof(IMAGE_OPTIONAL_HEADER64, Subsystem)
                                            : offsetof(IMAGE_OPTIONAL_HEADER32, Subsystem)),
              tables.subsystem);
    const size_t directoriesOffset = optionalOffset + (tables.is64 ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                                                   : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory));
    IMAGE_DATA_DIRECTORY exports{}, imports{};
    file.Read(directoriesOffset + IMAGE_DIRECTORY_ENTRY_EXPORT * sizeof exports, exports);
    file.Read(directoriesOffset + IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof imports, imports);

    const size_t sectionsOffset = optionalOffset + header.SizeOfOptionalHeader;
    auto toOffset = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < header.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER section{};
            if (!file.Read(sectionsOffset + i * sizeof section, section)) break;
            const DWORD size = section.Misc.VirtualSize ? section.Misc.VirtualSize : section.SizeOfRawData;
            if (rva >= section.VirtualAddress && rva < section.VirtualAddress + size)
                return rva - section.VirtualAddress + section.PointerToRawData;
        }
        return SIZE_MAX;
    };

    if (imports.VirtualAddress != 0) {
        for (size_t at = toOffset(imports.VirtualAddress);; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            IMAGE_IMPORT_DESCRIPTOR descriptor{};
            if (!file.Read(at, descriptor) || descriptor.Name == 0) break;
            tables.importedDlls.push_back(file.String(toOffset(descriptor.Name)));
        }
    }
    if (exports.VirtualAddress != 0) {
        IMAGE_EXPORT_DIRECTORY directory{};
        if (file.Read(toOffset(exports.VirtualAddress), directory)) {
            const size_t names = toOffset(directory.AddressOfNames);
            const size_t ordinals = toOffset(directory.AddressOfNameOrdinals);
            const size_t functions = toOffset(directory.AddressOfFunctions);
            for (DWORD i = 0; i < directory.NumberOfNames; ++i) {
                DWORD nameRva = 0, functionRva = 0;
                WORD ordinal = 0;
                if (!file.Read(names + i * sizeof nameRva, nameRva) ||
                    !file.Read(ordinals + i * sizeof ordinal, ordinal) ||
                    !file.Read(functions + ordinal * sizeof functionRva, functionRva))
                    break;
                tables.exportedNames.push_back(file.String(toOffset(nameRva)));
                tables.exportedRvas.push_back(functionRva);
            }
        }
    }
    tables.valid = true;
    return tables;
}

}  // namespace testing_support
