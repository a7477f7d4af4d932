// The library's exported functions besides the hook procedures: no exception crosses them.
#include "hook/Exports.h"

#include "commands/Help.h"
#include "commands/Login.h"

extern "C" int WINAPI DisplayHelp(const char* extraText) noexcept
{
    try {
        return mirelunde::ShowUsageBox(nullptr, extraText);
    } catch (...) {
        return 0;
    }
}

extern "C" LONG WINAPI RunAtLogin(bool enable, const char* options) noexcept
{
    return mirelunde::SwitchLoginEntry(enable, options);
}
