// The library's exported functions besides the hook procedures: no exception crosses them.
#include "hook/Exports.h"

#include "commands/Help.h"
#include "commands/Login.h"
#include "settings/Text.h"

extern "C" int WINAPI DisplayHelp(const char* extraText) noexcept
{
    try {
        const std::string extra = mirelunde::Utf8(mirelunde::CallerText(extraText));
        return mirelunde::ShowUsageBox(nullptr, extraText == nullptr ? nullptr : extra.c_str());
    } catch (...) {
        return 0;
    }
}

extern "C" LONG WINAPI RunAtLogin(bool enable, const char* options) noexcept
{
    try {
        const std::string given = mirelunde::Utf8(mirelunde::CallerText(options));
        return mirelunde::SwitchLoginEntry(enable, options == nullptr ? nullptr : given.c_str());
    } catch (...) {
        return ERROR_OUTOFMEMORY;
    }
}
