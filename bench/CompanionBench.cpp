// What the 32-bit companion costs a program per message: the pumping process of this architecture
// timed in slices under no hook, under this architecture's pair alone, under the 64-bit pair alone
// (the 64-bit launcher without its companion) and under the 32-bit pair with the 64-bit pair
// installed after it (with its companion), taking turns. The other architecture's pair is installed
// by that architecture's benchmark executable, from the build beside this one.
#include "bench/Figures.h"
#include "bench/Measures.h"
#include "bench/Pump.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr int kRounds = 12;
constexpr char kHolderFlag[] = "--hold-hooks";
constexpr bool kSixtyFourBit = sizeof(void*) == 8;
constexpr const char* kOtherBuild = kSixtyFourBit ? "..\\x86\\mirelunde_bench.exe" : "..\\x64\\mirelunde_bench.exe";

// The other architecture's benchmark, holding Mirelunde's pair of that architecture and installing
// or removing it when asked, as the other launcher would.
class OtherPair {
public:
    bool Start()
    {
        const std::string tag = "Holder" + std::to_string(GetCurrentProcessId());
        for (auto [event, name] :
             {std::pair{&install_, "Install"}, {&remove_, "Remove"}, {&quit_, "Quit"}, {&done_, "Done"}})
            event->reset(CreateEventA(nullptr, FALSE, FALSE, EventName(name, tag).c_str()));
        std::string line = "\"" + testing_support::BuiltFile(kOtherBuild) + "\" " + kHolderFlag + " " + tag;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!done_ ||
            !CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
            return false;
        process_.reset(info.hProcess);
        CloseHandle(info.hThread);
        return Ask(remove_);  // answers once its library is loaded
    }
    bool Install() { return Ask(install_); }
    bool Remove() { return Ask(remove_); }
    ~OtherPair()
    {
        if (!process_) return;
        SetEvent(quit_.get());
        if (WaitForSingleObject(process_.get(), kWaitMs) != WAIT_OBJECT_0) TerminateProcess(process_.get(), 1);
    }

private:
    bool Ask(const mirelunde::Handle& request)
    {
        SetEvent(request.get());
        const HANDLE waits[] = {done_.get(), process_.get()};
        return WaitForMultipleObjects(2, waits, FALSE, kWaitMs) == WAIT_OBJECT_0;
    }

    mirelunde::Handle install_, remove_, quit_, done_, process_;
};

enum Setup { kNoHook, kOwnPair, kSixtyFourAlone, kBoth, kSetups };

}  // namespace

int RunHookHolder(int argc, char** argv)
{
    if (argc < 3 || std::string(argv[1]) != kHolderFlag) return -1;
    HookPair pair("Mirelunde.dll", "BrackwenGetMsgProc", "BrackwenCallWndProc", true);
    mirelunde::Handle install(OpenEventA(SYNCHRONIZE, FALSE, EventName("Install", argv[2]).c_str()));
    mirelunde::Handle remove(OpenEventA(SYNCHRONIZE, FALSE, EventName("Remove", argv[2]).c_str()));
    mirelunde::Handle quit(OpenEventA(SYNCHRONIZE, FALSE, EventName("Quit", argv[2]).c_str()));
    mirelunde::Handle done(OpenEventA(EVENT_MODIFY_STATE, FALSE, EventName("Done", argv[2]).c_str()));
    if (!pair || !install || !remove || !quit || !done) return 1;
    const HANDLE waits[] = {install.get(), remove.get(), quit.get()};
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(3, waits, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0)
            pair.Install();
        else if (woken == WAIT_OBJECT_0 + 1)
            pair.Remove();
        else
            return 0;
        SetEvent(done.get());
    }
}

void MeasureCompanion()
{
    HookPair own("Mirelunde.dll", "BrackwenGetMsgProc", "BrackwenCallWndProc", true);
    OtherPair other;
    PumpChild child;
    if (!own || !other.Start() || !child.Start()) {
        std::printf("cannot load the hook library, start %s or start the pumping process\n", kOtherBuild);
        return;
    }
    // Installed in this order, removed in the other; the 64-bit pair always last, as the 64-bit
    // launcher installs its own once the companion has published.
    auto install32 = [&] { return kSixtyFourBit ? other.Install() : own.Install(); };
    auto install64 = [&] { return kSixtyFourBit ? own.Install() : other.Install(); };
    auto remove = [&] {
        own.Remove();
        other.Remove();
    };
    auto take = [&](Setup setup) {
        bool installed = true;
        if (setup == kOwnPair) installed = own.Install();
        if (setup == kBoth) installed = install32();
        if (setup == kSixtyFourAlone || setup == kBoth) installed = installed && install64();
        const Slice slice = installed ? child.Take() : Slice{};
        remove();
        return slice;
    };
    // On x64 this architecture's pair is the 64-bit pair: that setup is left out.
    std::vector<Setup> setups{kNoHook, kOwnPair, kBoth};
    if (!kSixtyFourBit) setups.insert(setups.begin() + 2, kSixtyFourAlone);
    for (const Setup setup : setups) take(setup);  // brings the libraries into the child

    Samples processor[kSetups], wall[kSetups], hooksVsNone, companionVsAlone, companionWallVsAlone;
    const Setup alone = kSixtyFourBit ? kOwnPair : kSixtyFourAlone;
    for (int round = 0; round < kRounds; ++round) {
        Slice slices[kSetups];
        for (size_t k = 0; k < setups.size(); ++k) {
            // Rotated each round and reversed every other, so each setup follows each of the others.
            const size_t turn = (round / 2 + (round % 2 ? setups.size() - 1 - k : k)) % setups.size();
            const Setup setup = setups[turn];
            slices[setup] = take(setup);
            processor[setup].Add(slices[setup].processorNs);
            wall[setup].Add(slices[setup].wallNs);
        }
        hooksVsNone.AddRatio(slices[kOwnPair].processorNs, slices[kNoHook].processorNs);
        companionVsAlone.AddRatio(slices[kBoth].processorNs, slices[alone].processorNs);
        companionWallVsAlone.AddRatio(slices[kBoth].wallNs, slices[alone].wallNs);
    }
    mirelunde::WriteRegDword(HKEY_CURRENT_USER, mirelunde::names::kSettingsKey, mirelunde::names::kHHook, 0);

    const char* arch = kSixtyFourBit ? "64-bit" : "32-bit";
    Table table(std::string("5. The 32-bit companion in a ") + arch + " program's message pump: " +
                    std::to_string(kRounds) + " rounds, each a slice under every setup in turn; medians",
                {"global hooks", "thread ns/msg", "wall ns/msg"});
    const char* names[kSetups] = {"none", kSixtyFourBit ? "the 64-bit pair (launcher alone)" : "the 32-bit pair alone",
                                  "the 64-bit pair (launcher alone)", "the 32-bit pair, then the 64-bit pair"};
    for (const Setup setup : setups)
        table.Add({names[setup], Fixed(processor[setup].Median(), 0), Fixed(wall[setup].Median(), 0)});
    table.Print();
    const double hooks = processor[kOwnPair].Median() - processor[kNoHook].Median();
    const double companion = processor[kBoth].Median() - processor[alone].Median();
    std::printf("this architecture's pair vs none (the hooks themselves): %s (%s), %.1f us a message\n",
                Fixed(hooksVsNone.Median(), 3).c_str(), hooksVsNone.MiddleHalf().c_str(), hooks / 1000);
    std::printf("with the companion vs the 64-bit launcher alone: %s (%s), wall %s, %.1f us a message\n",
                Fixed(companionVsAlone.Median(), 3).c_str(), companionVsAlone.MiddleHalf().c_str(),
                Fixed(companionWallVsAlone.Median(), 3).c_str(), companion / 1000);
    // Where this is above 1 (under Wine), the 64-bit launcher starts no companion.
    std::printf("companion %s: what it adds a message over what the hooks themselves cost: %.3f\n", arch,
                hooks > 0 ? companion / hooks : NAN);
}

}  // namespace bench
