// The usage text and the exported usage box for the launcher and the About command.
#include "commands/Help.h"

#include "commands/CommandTexts.h"
#include "hook/Exports.h"
#include "hook/SettingsNames.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace mirelunde {

namespace {

constexpr size_t kLineSize = 512;

std::string Formatted(const char* format)
{
    char line[kLineSize];
    const int written = std::snprintf(line, sizeof line, format, texts::kProductName);
    return std::string(line, written < 0 ? 0 : std::min<size_t>(written, sizeof line - 1));
}

}  // namespace

std::string UsageText(const char* extraText)
{
    std::string text = texts::kHelpBanner;
    text += Formatted(texts::kHelpUsageFormat);
    text += texts::kHelpOptions;
    text += Formatted(texts::kHelpKillFormat);
    text += Formatted(texts::kHelpLoginFormat);
    text += texts::kHelpMoreOptions;
    text += texts::kHelpContactIntro;
    text.append("\t").append(texts::kHelpContact).append("\n\n");
    text += "\n";
    if (extraText != nullptr && *extraText != '\0') {
        // The extra text has no bound of its own: it is cut where the box could not show it.
        const size_t room = texts::kLongestBoxText - text.size() - (sizeof texts::kHelpQuib - 1) - 1;
        text.append(texts::kHelpQuib).append(extraText, strnlen(extraText, room)).append("\n");
    }
    return text;
}

}  // namespace mirelunde

extern "C" int WINAPI DisplayHelp(const char* extraText) noexcept
{
    try {
        const std::string text = mirelunde::UsageText(extraText);
        return MessageBoxA(GetTopWindow(nullptr), text.c_str(), mirelunde::names::kCaption, MB_OK);
    } catch (...) {
        return 0;
    }
}
