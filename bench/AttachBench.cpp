// Loading and unloading the library against an empty library, the registry calls of its attach
// and detach, and what it costs a process in file size, memory and imports.
#include "bench/Figures.h"
#include "bench/Measures.h"
#include "hook/Exports.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/Paths.h"
#include "tests/support/RegistryCounter.h"

#include <psapi.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace bench {

namespace {

constexpr int kLoads = 8;
constexpr int kLoadRounds = 41;  // short rounds, the two libraries taking turns in each
constexpr double kLoadTarget = 1.5;
constexpr unsigned kAttachCallsTarget = 10;
constexpr double kSizeTargetKb = 150;
constexpr char kLibrary[] = "Mirelunde.dll";
constexpr char kEmptyLibrary[] = "bench_empty.dll";
// Handles as the launcher publishes them; the procedures only pass them back to the platform.
constexpr DWORD kGetMessageHook = 0x00010235;
constexpr DWORD kCallWndProcHook = 0x00010237;

bool LoadAndFree(const std::string& path)
{
    const HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) return false;
    FreeLibrary(module);
    return true;
}

using EntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);

// Maps the library without running it, binds its registry imports to counters, and runs its
// entry point for attach and for detach by hand.
bool CountAttachCalls(testing_support::RegistryCalls& attach, testing_support::RegistryCalls& detach)
{
    const std::string path = testing_support::BuiltFile(kLibrary);
    const HMODULE module = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (module == nullptr || !testing_support::CountRegistryCallsOf(module)) return false;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const BYTE*>(module) + dos->e_lfanew);
    const auto entry =
        reinterpret_cast<EntryPoint>(reinterpret_cast<uintptr_t>(module) + nt->OptionalHeader.AddressOfEntryPoint);
    testing_support::ResetRegistryCounts();
    entry(module, DLL_PROCESS_ATTACH, nullptr);
    attach = testing_support::CountedRegistryCalls();
    testing_support::ResetRegistryCounts();
    entry(module, DLL_PROCESS_DETACH, nullptr);
    detach = testing_support::CountedRegistryCalls();
    FreeLibrary(module);
    return true;
}

std::string Calls(const testing_support::RegistryCalls& calls)
{
    return std::to_string(calls.Total()) + " (" + std::to_string(calls.opens) + " open, " +
           std::to_string(calls.queries) + " query, " + std::to_string(calls.writes) + " write, " +
           std::to_string(calls.closes) + " close)";
}

struct Memory {
    double workingSetKb = 0;
    double privateKb = 0;  // committed private pages: heaps, stacks, data written
    double imageKb = 0;    // committed pages of mapped executable images
};

Memory Now()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    Memory memory{counters.WorkingSetSize / 1024.0, 0, 0};
    // Wine leaves the private-bytes counter still, so the address space is walked instead.
    MEMORY_BASIC_INFORMATION region{};
    for (const BYTE* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
        if (region.State != MEM_COMMIT) continue;
        if (region.Type == MEM_PRIVATE) memory.privateKb += region.RegionSize / 1024.0;
        if (region.Type == MEM_IMAGE) memory.imageKb += region.RegionSize / 1024.0;
    }
    return memory;
}

// What loading costs the process, with one ordinary message through each hook procedure so the
// pages a hooked thread touches are counted.
Memory Gain(const std::string& path, bool callHooks)
{
    const Memory before = Now();
    const HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) return {};
    if (callHooks) {
        MSG msg{GetDesktopWindow(), WM_MOUSEMOVE, 0, 0, 0, {}};
        ProcAddress<HookProcedure>(module, "BrackwenGetMsgProc")(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&msg));
        CWPSTRUCT sent{0, 0, WM_NCHITTEST, GetDesktopWindow()};
        ProcAddress<HookProcedure>(module, "BrackwenCallWndProc")(HC_ACTION, 0, reinterpret_cast<LPARAM>(&sent));
    }
    const Memory after = Now();
    FreeLibrary(module);
    return {after.workingSetKb - before.workingSetKb, after.privateKb - before.privateKb,
            after.imageKb - before.imageKb};
}

double FileKb(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return data.nFileSizeLow / 1024.0;
}

void PrintImports(const std::string& path)
{
    // Mapped as data only: nothing runs, the headers and import names are read in place.
    const HMODULE module = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (module == nullptr) return;
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(module)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    Table table("4c. Import table of Mirelunde.dll", {"DLL", "functions", "names"});
    table.AlignLeft(2);
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         directory.VirtualAddress != 0 && entry->Name != 0; ++entry) {
        const auto* lookup = reinterpret_cast<const IMAGE_THUNK_DATA*>(
            base + (entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk));
        unsigned count = 0;
        std::string names;
        for (; lookup->u1.AddressOfData != 0; ++lookup, ++count) {
            if (IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + lookup->u1.AddressOfData);
            names += (names.empty() ? "" : " ") + std::string(byName->Name);
        }
        // Long lists wrap onto rows of their own.
        const char* dll = reinterpret_cast<const char*>(base + entry->Name);
        constexpr size_t kWidth = 90;
        size_t start = 0;
        do {
            size_t end = names.size();
            if (end - start > kWidth) end = names.rfind(' ', start + kWidth);
            table.Add(
                {start == 0 ? dll : "", start == 0 ? std::to_string(count) : "", names.substr(start, end - start)});
            start = end + 1;
        } while (start < names.size());
    }
    table.Print();
    FreeLibrary(module);
}

// What one round of loads costs with the settings as they stand; the typical settings' ratio is the
// target.
void MeasureLoadTime(const std::string& library, const std::string& empty, const char* settings, bool target)
{
    Samples libraryUs, emptyUs, ratios;
    const std::string* const paths[] = {&library, &empty};
    for (int round = 0; round < kLoadRounds; ++round) {
        const std::vector<double> ns = MedianTurns(2, kLoads, round, [&](size_t i) { LoadAndFree(*paths[i]); });
        libraryUs.Add(ns[0] / 1000);
        emptyUs.Add(ns[1] / 1000);
        ratios.AddRatio(ns[0], ns[1]);
    }
    Table table(std::string("3a. LoadLibrary + FreeLibrary, ") + settings + " (medians of " +
                    std::to_string(kLoadRounds) + " rounds, in each the two libraries taking turns " +
                    std::to_string(kLoads) + " times)",
                {"library", "us", "ratio", "middle half", "target"});
    table.Add({"empty DLL (same runtime, DllMain returns TRUE)", Fixed(emptyUs.Median(), 1), "1.000", "-", "-"});
    table.Add({"Mirelunde.dll", Fixed(libraryUs.Median(), 1), Fixed(ratios.Median(), 3), ratios.MiddleHalf(),
               target ? Fixed(kLoadTarget, 2) : "-"});
    table.Print();
    if (target) RecordTarget("attach-time", ratios.Count() == kLoadRounds ? ratios.Median() : NAN, kLoadTarget, 3);
}

// The two lists of programs as the measures below store them; an empty text stores none.
void StoreLists(const std::string& excluded, const std::string& keptOnTop)
{
    for (const auto& [name, list] : {std::pair{mirelunde::names::kExcludedPrograms, &excluded},
                                     std::pair{mirelunde::names::kProgramsKeptOnTop, &keptOnTop}}) {
        if (list->empty())
            RegDeleteKeyValueA(HKEY_CURRENT_USER, mirelunde::names::kSettingsKey, name);
        else
            mirelunde::WriteRegString(HKEY_CURRENT_USER, mirelunde::names::kSettingsKey, name, list->c_str());
    }
}

}  // namespace

void WriteTypicalSettings()
{
    mirelunde::WriteRegDword(HKEY_CURRENT_USER, mirelunde::names::kSettingsKey, mirelunde::names::kHHook,
                             kGetMessageHook);
    mirelunde::WriteRegDword(HKEY_CURRENT_USER, mirelunde::names::kSettingsKey, mirelunde::names::kHWndHook,
                             kCallWndProcHook);
}

void MeasureAttach()
{
    WriteTypicalSettings();
    const std::string library = testing_support::BuiltFile(kLibrary);
    const std::string empty = testing_support::BuiltFile(kEmptyLibrary);
    // Both lists as a user keeps them, this program kept on top: each is one more value in the same
    // pass and one more list read.
    const std::string exe = testing_support::OwnExecutable();
    const std::string excluded = "game.exe;mstsc.exe;C:\\Tools\\paint.exe";
    const std::string keptOnTop = "notepad.exe;" + exe.substr(exe.find_last_of('\\') + 1);
    // The first loads read the files from disk.
    if (LoadAndFree(library) && LoadAndFree(empty)) {
        MeasureLoadTime(library, empty, "typical settings", true);
        StoreLists(excluded, keptOnTop);
        MeasureLoadTime(library, empty, "both lists of programs present, this program kept on top", false);
        StoreLists("", "");
    } else {
        std::printf("cannot load %s or %s\n", kLibrary, kEmptyLibrary);
        RecordTarget("attach-time", NAN, kLoadTarget, 3);
    }

    testing_support::RegistryCalls attach, detach;
    Table calls("3b. Registry calls made by the library itself", {"phase", "calls", "target"});
    calls.AlignLeft(1);
    const bool counted = CountAttachCalls(attach, detach);
    if (counted) {
        calls.Add({"attach", Calls(attach), "at most " + std::to_string(kAttachCallsTarget)});
        calls.Add({"detach", Calls(detach), "-"});
        // What the lists of programs add to attach: one value more each in the same pass, or, for a list
        // too long to read, the value's name and one query to find it so.
        const std::pair<const char*, std::pair<std::string, std::string>> lists[] = {
            {"attach, a list of excluded programs", {excluded, ""}},
            {"attach, a list too long to read", {std::string(400, 'x'), ""}},
            {"attach, both lists present, this program kept on top", {excluded, keptOnTop}},
        };
        for (const auto& [phase, stored] : lists) {
            StoreLists(stored.first, stored.second);
            testing_support::RegistryCalls withList, unused;
            if (CountAttachCalls(withList, unused)) calls.Add({phase, Calls(withList), "-"});
        }
        StoreLists("", "");
    } else {
        calls.Add({"attach", "could not bind the library's imports to counters", "-"});
    }
    calls.Print();
    RecordTarget("attach-registry-calls", counted ? attach.Total() : NAN, kAttachCallsTarget, 0);
}

void MeasureFootprint()
{
    WriteTypicalSettings();
    const std::string library = testing_support::BuiltFile(kLibrary);
    const std::string empty = testing_support::BuiltFile(kEmptyLibrary);

    constexpr bool kSizeHasTarget = sizeof(void*) == 8;  // the target is the 64-bit library's
    Table sizes("4a. File size", {"file", "KB", "ratio", "target"});
    const double libraryKb = FileKb(library), emptyKb = FileKb(empty);
    sizes.Add({kEmptyLibrary, Fixed(emptyKb, 1), "1.000", "-"});
    sizes.Add(
        {kLibrary, Fixed(libraryKb, 1), Ratio(libraryKb, emptyKb), kSizeHasTarget ? Fixed(kSizeTargetKb, 0) : "-"});
    sizes.Print();
    if (kSizeHasTarget) RecordTarget("dll-size", libraryKb > 0 ? libraryKb : NAN, kSizeTargetKb, 1);

    Gain(library, true);  // first loads settle the process's own heaps
    Gain(empty, false);
    Best libraryWs, libraryPrivate, libraryImage, emptyWs, emptyPrivate, emptyImage;
    for (int rep = 0; rep < kRepetitions; ++rep) {
        const Memory l = Gain(library, true), e = Gain(empty, false);
        libraryWs.Offer(l.workingSetKb);
        libraryPrivate.Offer(l.privateKb);
        libraryImage.Offer(l.imageKb);
        emptyWs.Offer(e.workingSetKb);
        emptyPrivate.Offer(e.privateKb);
        emptyImage.Offer(e.imageKb);
    }
    Table memory("4b. Memory a process gains by loading (least of 7; KB)",
                 {"library", "working set", "private committed", "image committed", "ws ratio", "image ratio"});
    memory.Add({"empty DLL", Fixed(emptyWs.value, 0), Fixed(emptyPrivate.value, 0), Fixed(emptyImage.value, 0), "1.000",
                "1.000"});
    memory.Add({"Mirelunde.dll (+1 message per hook)", Fixed(libraryWs.value, 0), Fixed(libraryPrivate.value, 0),
                Fixed(libraryImage.value, 0), Ratio(libraryWs.value, emptyWs.value),
                Ratio(libraryImage.value, emptyImage.value)});
    memory.Print();

    PrintImports(library);
}

}  // namespace bench
