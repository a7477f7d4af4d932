// The exported usage box for the launcher and the About command.
#include "hook/Exports.h"
#include "hook/SettingsNames.h"

namespace {
constexpr char kNotBuilt[] = "The usage text is not built yet.";
}

extern "C" int WINAPI DisplayHelp(const char*) noexcept
{
    return MessageBoxA(nullptr, kNotBuilt, mirelunde::names::kCaption, MB_OK);
}
