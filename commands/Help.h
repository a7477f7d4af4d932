// The usage text, shown by the exported help box and printed by the launcher.
#pragma once

#include <windows.h>

#include <string>

namespace mirelunde {

// The whole usage text; an extra text that is non-null and not empty ends it as a "Quib" section,
// cut where a message box could no longer show it whole.
// May throw when out of memory.
std::string UsageText(const char* extraText);

// The usage text in a box owned by `owner` (see BoxOwner); the button that closed it. May throw
// when out of memory.
int ShowUsageBox(HWND owner, const char* extraText);

}  // namespace mirelunde
