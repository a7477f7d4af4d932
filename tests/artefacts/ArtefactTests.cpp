// The built library and launcher as they ship: what they import, the launcher's subsystem, what the
// library exports, and the version record and icon they carry, read back through the same APIs
// Explorer and the loader use.
#include "tests/support/Paths.h"
#include "tests/support/PeImage.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

using testing_support::BuiltFile;
using testing_support::ReadPeTables;

namespace {

constexpr char kLibrary[] = "Mirelunde.dll";
constexpr char kLauncher[] = "mirelunde.exe";
constexpr WORD kIconGroup = 104;

const std::vector<std::string> kExports = {
    "BrackwenGetMsgProc", "BrackwenCallWndProc", "DisplayHelp",        "RunAtLogin",         "_ZN4DumpC1Ev",
    "_ZN4DumpC2Ev",       "_ZN4DumpC1EPcS0_",    "_ZN4DumpC2EPcS0_",   "_ZN4DumpD0Ev",       "_ZN4DumpD1Ev",
    "_ZN4DumpD2Ev",       "_ZN4Dump4initEPcS0_", "_ZN4Dump5printEPcz", "_ZN4Dump5printEPcc",
};

std::string Lower(std::string text)
{
    std::ranges::transform(text, text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Whatever the library imports is loaded into every hooked program, so only DLLs every Windows has;
// the launcher may use the shell besides, for its notification-area icon.
// The launcher has its icon and its settings window besides: the shell, controls, dialogs and GDI.
bool IsSystemDll(const std::string& name, bool launcher)
{
    static const char* const kSystem[] = {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll"};
    static const char* const kLauncherOnly[] = {"shell32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll",
                                                "uxtheme.dll", "ole32.dll",    "oleaut32.dll"};
    const std::string lower = Lower(name);
    const auto is = [&](const char* system) { return lower == system; };
    return lower.starts_with("api-ms-win-") || std::ranges::any_of(kSystem, is) ||
           (launcher && std::ranges::any_of(kLauncherOnly, is));
}

class Library {
public:
    explicit Library(DWORD flags, const char* file = kLibrary)
        : module_(LoadLibraryExA(BuiltFile(file).c_str(), nullptr, flags))
    {
    }
    ~Library()
    {
        if (module_) FreeLibrary(module_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};

struct Resource {
    const BYTE* bytes = nullptr;
    DWORD size = 0;
};

Resource FindResourceBytes(HMODULE module, WORD id, LPCSTR type)
{
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found) return {};
    const HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return {};
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, found)};
}

// Layout of an RT_GROUP_ICON resource; the SDK headers do not declare it.
#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

struct IconSize {
    LONG width = 0;
    LONG height = 0;
};

// Measures an icon by its mask, which holds AND and XOR halves when the icon is monochrome.
IconSize MeasureIcon(HICON icon)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {};
    BITMAP mask{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    IconSize size{mask.bmWidth, info.hbmColor ? mask.bmHeight : mask.bmHeight / 2};
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return size;
}

}  // namespace

TEST(ArtefactImports, LibraryAndLauncherNeedOnlySystemDllsAndMatchTheTestBitness)
{
    for (const char* file : {kLibrary, kLauncher}) {
        SCOPED_TRACE(file);
        const auto tables = ReadPeTables(BuiltFile(file));
        ASSERT_TRUE(tables.valid);
        EXPECT_EQ(tables.is64, sizeof(void*) == 8) << "built for the other architecture";
        const auto isKernel32 = [](const std::string& dll) { return Lower(dll) == "kernel32.dll"; };
        EXPECT_TRUE(std::ranges::any_of(tables.importedDlls, isKernel32)) << "the import table was not read";
        for (const auto& dll : tables.importedDlls)
            EXPECT_TRUE(IsSystemDll(dll, file == kLauncher)) << "imports " << dll;
    }
}

// Started by a double-click or at login, a console program opens a console window for as long as it runs.
TEST(ArtefactSubsystem, LauncherIsAWindowsGuiProgram)
{
    const auto tables = ReadPeTables(BuiltFile(kLauncher));
    ASSERT_TRUE(tables.valid);
    EXPECT_EQ(tables.subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST(ArtefactExports, LibraryExportsExactlyTheUndecoratedNames)
{
    const auto tables = ReadPeTables(BuiltFile(kLibrary));
    ASSERT_TRUE(tables.valid);
    auto exported = tables.exportedNames;
    auto expected = kExports;
    std::ranges::sort(exported);
    std::ranges::sort(expected);
    EXPECT_EQ(exported, expected);
}

// A program that still holds an earlier library after an upgrade is called by the new launcher's hooks
// at these addresses: the hook entries never move from one release to the next.
TEST(ArtefactExports, HookEntriesStayAtTheirFixedAddresses)
{
    const auto tables = ReadPeTables(BuiltFile(kLibrary));
    ASSERT_TRUE(tables.valid);
    for (const auto& [name, rva] : {std::pair{"BrackwenGetMsgProc", 0x1000ul}, {"BrackwenCallWndProc", 0x1040ul}}) {
        const auto found = std::ranges::find(tables.exportedNames, name);
        ASSERT_NE(found, tables.exportedNames.end()) << name;
        EXPECT_EQ(tables.exportedRvas[static_cast<size_t>(found - tables.exportedNames.begin())], rva) << name;
    }
}

TEST(ArtefactExports, LoaderResolvesEveryNameInsideTheLibrary)
{
    // Mapped without running DllMain: only the export table is under test here.
    const Library library(DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(library.get(), nullptr) << GetLastError();
    const auto base = reinterpret_cast<const BYTE*>(library.get());
    const auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const BYTE* end = base + nt->OptionalHeader.SizeOfImage;
    for (const auto& name : kExports) {
        const auto address = reinterpret_cast<const BYTE*>(GetProcAddress(library.get(), name.c_str()));
        ASSERT_NE(address, nullptr) << name;
        EXPECT_TRUE(address >= base && address < end) << name << " is forwarded out of the library";
    }
}

TEST(ArtefactVersion, RecordIsVersion1004InBritishEnglishUnicode)
{
    const std::string path = BuiltFile(kLibrary);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << GetLastError();
    std::vector<BYTE> record(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, record.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\", &value, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const auto& fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    const struct {
        const char* field;
        DWORD high, low;
    } kVersions[] = {{"file", fixed.dwFileVersionMS, fixed.dwFileVersionLS},
                     {"product", fixed.dwProductVersionMS, fixed.dwProductVersionLS}};
    for (const auto& version : kVersions) {
        SCOPED_TRACE(version.field);
        EXPECT_EQ(version.high, MAKELONG(0, 1));
        EXPECT_EQ(version.low, MAKELONG(4, 0));
    }

    ASSERT_TRUE(VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 2 * sizeof(WORD));
    const auto* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], 0x0809);
    EXPECT_EQ(translation[1], 1200);

    ASSERT_TRUE(VerQueryValueA(record.data(), "\\StringFileInfo\\080904B0\\FileVersion", &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "1.0.0.4");
}

// The launcher carries the same icon, for its notification-area icon and for Explorer.
class ArtefactIcon : public testing::TestWithParam<const char*> {};

TEST_P(ArtefactIcon, GroupHoldsA16ColourAndA256ColourImageThatBothBecomeIcons)
{
    const Library library(LOAD_LIBRARY_AS_DATAFILE, GetParam());
    ASSERT_NE(library.get(), nullptr) << GetLastError();
    const Resource group = FindResourceBytes(library.get(), kIconGroup, RT_GROUP_ICON);
    ASSERT_NE(group.bytes, nullptr);
    ASSERT_GE(group.size, sizeof(GroupIconHeader));
    GroupIconHeader header{};
    std::memcpy(&header, group.bytes, sizeof header);
    EXPECT_EQ(header.type, 1);
    ASSERT_EQ(header.count, 2);
    ASSERT_GE(group.size, sizeof header + header.count * sizeof(GroupIconEntry));
    std::vector<GroupIconEntry> entries(header.count);
    std::memcpy(entries.data(), group.bytes + sizeof header, entries.size() * sizeof(GroupIconEntry));

    const struct {
        BYTE size;
        WORD bits;
        BYTE colourCount;  // 0 stands for 256 and more
    } kImages[] = {{32, 4, 16}, {48, 8, 0}};
    for (const auto& expected : kImages) {
        SCOPED_TRACE(testing::Message() << int{expected.size} << "x" << int{expected.size});
        const auto entry = std::ranges::find(entries, expected.size, &GroupIconEntry::width);
        ASSERT_NE(entry, entries.end());
        EXPECT_EQ(entry->height, expected.size);
        EXPECT_EQ(entry->bitCount, expected.bits);
        EXPECT_EQ(entry->colourCount, expected.colourCount);

        const Resource image = FindResourceBytes(library.get(), entry->id, RT_ICON);
        ASSERT_NE(image.bytes, nullptr);
        EXPECT_EQ(image.size, DWORD{entry->bytesInRes});  // a copy: the packed field is not 4-byte aligned
        ASSERT_GE(image.size, sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER bitmap{};
        std::memcpy(&bitmap, image.bytes, sizeof bitmap);
        EXPECT_EQ(bitmap.biWidth, expected.size);
        EXPECT_EQ(bitmap.biHeight, expected.size * 2);
        EXPECT_EQ(bitmap.biBitCount, expected.bits);

        // The shell picks an image for a requested size from the group directory.
        EXPECT_EQ(LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.bytes), TRUE, expected.size, expected.size,
                                              LR_DEFAULTCOLOR),
                  entry->id);
        const HICON fromBits = CreateIconFromResourceEx(const_cast<BYTE*>(image.bytes), image.size, TRUE, 0x00030000,
                                                        expected.size, expected.size, LR_DEFAULTCOLOR);
        ASSERT_NE(fromBits, nullptr);
        EXPECT_EQ(MeasureIcon(fromBits).width, expected.size);
        EXPECT_EQ(MeasureIcon(fromBits).height, expected.size);
        DestroyIcon(fromBits);

        const auto loaded = static_cast<HICON>(LoadImageA(library.get(), MAKEINTRESOURCEA(kIconGroup), IMAGE_ICON,
                                                          expected.size, expected.size, LR_DEFAULTCOLOR));
        ASSERT_NE(loaded, nullptr) << GetLastError();
        EXPECT_EQ(MeasureIcon(loaded).width, expected.size);
        EXPECT_EQ(MeasureIcon(loaded).height, expected.size);
        DestroyIcon(loaded);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ArtefactIcon, testing::Values(kLibrary, kLauncher));
