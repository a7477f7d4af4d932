// The usage text, and its box for the launcher and the About command.
#include "commands/Help.h"

#include "actions/WindowTable.h"
#include "commands/CommandTexts.h"
#include "settings/Language.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace mirelunde {

namespace {

constexpr size_t kLineSize = 512;

std::string Formatted(const char* format, const char* name = texts::kProductName)
{
    char line[kLineSize];
    const int written = std::snprintf(line, sizeof line, format, name);
    return std::string(line, written < 0 ? 0 : std::min<size_t>(written, sizeof line - 1));
}

}  // namespace

std::string UsageText(const char* extraText)
{
    std::string text = Formatted(Text(texts::kHelpBanner), MIRELUNDE_VERSION_TEXT);
    text += Formatted(Text(texts::kHelpUsageFormat));
    text += Text(texts::kHelpOptions);
    text += Formatted(Text(texts::kHelpKillFormat));
    text += Formatted(Text(texts::kHelpLoginFormat));
    text += Text(texts::kHelpMoreOptions);
    text += Text(texts::kHelpContactIntro);
    text.append("\t").append(texts::kHelpContact).append("\n\n");
    text += "\n";
    if (extraText != nullptr && *extraText != '\0') {
        // The extra text has no bound of its own: it is cut where the box could not show it.
        const size_t room = texts::kLongestBoxText - text.size() - std::strlen(Text(texts::kHelpQuib)) - 1;
        size_t taken = strnlen(extraText, room);
        // Cut between characters, never inside one.
        if (taken == room)
            while (taken > 0 && (static_cast<unsigned char>(extraText[taken]) & 0xC0) == 0x80) --taken;
        text.append(Text(texts::kHelpQuib)).append(extraText, taken).append("\n");
    }
    return text;
}

int ShowUsageBox(HWND owner, const char* extraText)
{
    const std::string text = UsageText(extraText);
    return MessageBoxText(BoxOwner(owner), text.c_str(), names::kCaption, MB_OK);
}

}  // namespace mirelunde
