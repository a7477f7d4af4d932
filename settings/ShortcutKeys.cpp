// The names of the keys as Windows shows them in English, and the shortcuts' values.
#include "settings/ShortcutKeys.h"

#include "settings/Registry.h"
#include "settings/SettingsNames.h"

#include <cctype>
#include <string_view>

namespace mirelunde {

namespace {

struct KeyName {
    const char* name;
    UINT key;
    bool types;  // a character or an edit of text: taken from every program unless Ctrl, Alt or Win is held
};

constexpr KeyName kNamedKeys[] = {
    {"Up", VK_UP, false},          {"Down", VK_DOWN, false},          {"Left", VK_LEFT, false},
    {"Right", VK_RIGHT, false},    {"Home", VK_HOME, false},          {"End", VK_END, false},
    {"PageUp", VK_PRIOR, false},   {"PageDown", VK_NEXT, false},      {"Insert", VK_INSERT, false},
    {"Delete", VK_DELETE, true},   {"Space", VK_SPACE, true},         {"Backspace", VK_BACK, true},
    {"Tab", VK_TAB, true},         {"Enter", VK_RETURN, true},        {"Esc", VK_ESCAPE, true},
    {"Pause", VK_PAUSE, false},    {"Scroll Lock", VK_SCROLL, false}, {"Num *", VK_MULTIPLY, true},
    {"Num +", VK_ADD, true},       {"Num -", VK_SUBTRACT, true},      {"Num /", VK_DIVIDE, true},
    {"Num Del", VK_DECIMAL, true},
};

struct Modifier {
    const char* name;
    UINT flag;
};
constexpr Modifier kModifiers[] = {{"Ctrl", MOD_CONTROL}, {"Alt", MOD_ALT}, {"Shift", MOD_SHIFT}, {"Win", MOD_WIN}};
constexpr UINT kMostFunctionKey = 24;

// Blanks are not part of a name: "Page Up", "PageUp" and "num 0" are the same keys as "PageUp" and "Num 0".
bool SameName(std::string_view text, std::string_view name)
{
    size_t i = 0, j = 0;
    for (;; ++i, ++j) {
        while (i < text.size() && text[i] == ' ') ++i;
        while (j < name.size() && name[j] == ' ') ++j;
        if (i == text.size() || j == name.size()) return i == text.size() && j == name.size();
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(name[j])))
            return false;
    }
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// The key a name stands for, 0 when none; `types` says whether it types.
UINT KeyFor(std::string_view name, bool& types)
{
    types = true;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return static_cast<UINT>(std::toupper(static_cast<unsigned char>(name[0])));
    for (const KeyName& named : kNamedKeys) {
        if (SameName(name, named.name)) {
            types = named.types;
            return named.key;
        }
    }
    for (UINT digit = 0; digit <= 9; ++digit)
        if (SameName(name, "Num " + std::to_string(digit))) return VK_NUMPAD0 + digit;
    types = false;
    for (UINT number = 1; number <= kMostFunctionKey; ++number)
        if (SameName(name, "F" + std::to_string(number))) return VK_F1 + number - 1;
    return 0;
}

}  // namespace

StoredShortcut ParseShortcut(const std::string& text)
{
    StoredShortcut parsed;
    parsed.text = text;
    std::string_view rest = Trimmed(text);
    if (rest.empty()) return parsed;
    // Modifiers up to the last '+' that follows one; what remains is the key, which may be "Num +".
    UINT modifiers = 0;
    for (size_t plus; (plus = rest.find('+')) != std::string_view::npos;) {
        const std::string_view word = Trimmed(rest.substr(0, plus));
        const Modifier* found = nullptr;
        for (const Modifier& modifier : kModifiers)
            if (SameName(word, modifier.name)) found = &modifier;
        if (found == nullptr) break;
        modifiers |= found->flag;
        rest = Trimmed(rest.substr(plus + 1));
    }
    bool types = false;
    const UINT key = KeyFor(rest, types);
    if (key == 0) {
        parsed.fault = ShortcutFault::NotAKey;
        parsed.part = rest;
    } else if (types && (modifiers & (MOD_CONTROL | MOD_ALT | MOD_WIN)) == 0) {
        parsed.fault = ShortcutFault::NeedsModifier;
        parsed.part = rest;
    } else {
        parsed.key = {modifiers, key};
    }
    return parsed;
}

std::string ShortcutText(ShortcutKey key)
{
    std::string name;
    if ((key.key >= 'A' && key.key <= 'Z') || (key.key >= '0' && key.key <= '9')) {
        name = static_cast<char>(key.key);
    } else if (key.key >= VK_NUMPAD0 && key.key <= VK_NUMPAD9) {
        name = "Num " + std::to_string(key.key - VK_NUMPAD0);
    } else if (key.key >= VK_F1 && key.key < VK_F1 + kMostFunctionKey) {
        name = "F" + std::to_string(key.key - VK_F1 + 1);
    } else {
        for (const KeyName& named : kNamedKeys)
            if (named.key == key.key) name = named.name;
    }
    if (name.empty()) return name;
    std::string text;
    for (const Modifier& modifier : kModifiers)
        if (key.modifiers & modifier.flag) text.append(modifier.name).append("+");
    return text + name;
}

std::array<StoredShortcut, kShortcutCount> ReadShortcuts()
{
    std::array<StoredShortcut, kShortcutCount> shortcuts;
    const std::string path = std::string(names::kSettingsKey) + "\\" + names::kShortcuts;
    const RegReader reader(HKEY_CURRENT_USER, path.c_str());
    char text[MAX_PATH] = {};
    for (size_t i = 0; i < kShortcutCount; ++i)
        if (reader.String(names::kShortcutValues[i], text, sizeof text)) shortcuts[i] = ParseShortcut(text);
    return shortcuts;
}

bool WriteShortcut(ShortcutCommand command, const std::string& text)
{
    const std::string path = std::string(names::kSettingsKey) + "\\" + names::kShortcuts;
    return WriteRegString(HKEY_CURRENT_USER, path.c_str(), names::kShortcutValues[static_cast<size_t>(command)],
                          text.c_str());
}

}  // namespace mirelunde
