// The 32-bit launcher that the 64-bit one starts from the x86 folder beside itself: a 64-bit hook
// library cannot enter 32-bit programs, so each architecture needs a launcher of its own.
#pragma once

#include "settings/Handles.h"

#include <string>

namespace mirelunde {

// Named per architecture, so the 32-bit companion can run beside the 64-bit launcher.
inline constexpr char kInstanceLock64[] = "Local\\Mirelunde.Launcher";
inline constexpr char kInstanceLock32[] = "Local\\Mirelunde.Launcher.32";
// Set by a 32-bit launcher once its hooks are published.
inline constexpr char kCompanionReadyEvent[] = "Local\\Mirelunde.Launcher.32.Ready";
// In the companion's environment only: the launcher that started it shows the icon and reports
// the companion's failures.
inline constexpr char kCompanionMarker[] = "MIRELUNDE_COMPANION";
// Set to anything in the 64-bit launcher's environment, it starts the companion under Wine too.
inline constexpr char kCompanionUnderWine[] = "MIRELUNDE_COMPANION_UNDER_WINE";

// True in a launcher started as the companion; takes the marker out of its environment, so nothing
// it starts inherits it.
bool StartedAsCompanion();

// Tells a 64-bit launcher that may be waiting that this launcher's hooks are published.
void SignalCompanionReady();

class Companion {
public:
    // Starts the companion with these options and waits until it has published its hooks, so the
    // 64-bit launcher's handles, written after, are the ones left in the settings key, or until a
    // stop is requested. Every failure is reported on stderr: the 64-bit launcher goes on without it.
    // Under Wine it starts none unless told to, and says so.
    void Start(const std::string& options);
    // Ends the companion together with this launcher.
    void Stop();

private:
    Handle process_;
    bool ready_ = false;
    // Closing the job ends the companion, should this launcher end without stopping it.
    Handle job_;
};

}  // namespace mirelunde
