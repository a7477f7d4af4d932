// The user's lists of programs: reading a list, matching a program against it, putting a program on it
// or taking it off, and a list as the settings window shows and writes it.
#include "settings/ProgramLists.h"

#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace mirelunde {

namespace {

constexpr char kSeparator = ';';
constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kFolderSeparators = "\\/";
constexpr std::string_view kNotInFileNames = "<>\"|?*";

std::string_view WithoutTrailingBlanks(std::string_view text)
{
    const size_t last = text.find_last_not_of(kBlanks);
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

// The entry as the user meant it: without the blanks, then the pair of quotes, around it.
std::string_view Trimmed(std::string_view entry)
{
    const size_t first = entry.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    entry = WithoutTrailingBlanks(entry.substr(first));
    if (entry.size() >= 2 && entry.front() == '"' && entry.back() == '"') entry = entry.substr(1, entry.size() - 2);
    return entry;
}

// Takes the next entry off the front of the rest of the list.
std::string_view TakeEntry(std::string_view& rest)
{
    const size_t end = rest.find(kSeparator);
    const std::string_view entry = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    return Trimmed(entry);
}

constexpr char kSeparatorText[] = {kSeparator, '\0'};

bool IsFileNameText(std::string_view entry)
{
    for (size_t i = 0; i < entry.size(); ++i) {
        const auto c = static_cast<unsigned char>(entry[i]);
        if (c < ' ' || kNotInFileNames.find(static_cast<char>(c)) != std::string_view::npos) return false;
        if (c == ':' && i != 1) return false;  // only after a drive letter
    }
    return true;
}

// Compared as file names are: letters in either case alike, by the system's rules for every script,
// and either folder separator.
bool SameFileName(std::string_view a, std::string_view b)
{
    wchar_t left[kProgramListSize];
    wchar_t right[kProgramListSize];
    if (!ToWide(a, left, kProgramListSize) || !ToWide(b, right, kProgramListSize)) return false;
    const int length = lstrlenW(left);
    if (length != lstrlenW(right)) return false;
    for (int i = 0; i < length; ++i) {
        if (left[i] == L'/') left[i] = L'\\';
        if (right[i] == L'/') right[i] = L'\\';
    }
    return CompareStringOrdinal(left, length, right, length, TRUE) == CSTR_EQUAL;
}

bool EntryNamesProgram(std::string_view entry, std::string_view exePath)
{
    if (entry.find_first_of(kFolderSeparators) == std::string_view::npos)
        return SameFileName(entry, FileNameOf(exePath));
    return SameFileName(entry, exePath);
}

// A value holds one string unless a zero byte comes before its end; a stored terminator is allowed.
bool HoldsOneString(const char* text, DWORD stored)
{
    const size_t length = std::strlen(text);
    return stored == length || stored == length + 1;
}

// The first entry no file name can make, if any.
std::optional<std::string_view> BadEntryOf(std::string_view list)
{
    for (std::string_view rest = list; !rest.empty();) {
        const std::string_view entry = TakeEntry(rest);
        if (!IsFileNameText(entry)) return entry;
    }
    return std::nullopt;
}

// Whether the list, as read, fits and holds only entries a file name can make.
bool IsReadableList(std::string_view list)
{
    return Utf16Length(list) < kProgramListSize && !BadEntryOf(list);
}

}  // namespace

std::string_view FileNameOf(std::string_view path)
{
    const size_t slash = path.find_last_of(kFolderSeparators);
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool ListNamesProgram(std::string_view list, std::string_view exePath)
{
    if (!IsReadableList(list)) return false;
    for (std::string_view rest = list; !rest.empty();) {
        const std::string_view entry = TakeEntry(rest);
        if (!entry.empty() && EntryNamesProgram(entry, exePath)) return true;
    }
    return false;
}

namespace {

// The stored list, when it is one the library reads.
template <typename Settings>
bool ReadList(const Settings& settings, const char* valueName, char (&list)[kProgramListBytes])
{
    DWORD stored = 0;
    return settings.String(valueName, list, sizeof list, &stored) && HoldsOneString(list, stored) &&
           IsReadableList(list);
}

std::string WithProgram(std::string_view list, std::string_view exePath)
{
    std::string updated(WithoutTrailingBlanks(list));
    if (!updated.empty() && updated.back() != kSeparator) updated += kSeparator;
    return updated.append(FileNameOf(exePath));
}

// The entries that name another program, each as the user wrote it.
std::string WithoutProgram(std::string_view list, std::string_view exePath)
{
    std::string updated;
    for (std::string_view rest = list; !rest.empty();) {
        const size_t end = rest.find(kSeparator);
        const std::string_view written = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (ListNamesProgram(written, exePath)) continue;
        updated.append(updated.empty() ? "" : kSeparatorText).append(written);
    }
    return updated;
}

}  // namespace

bool IsListedProgram(const RegSnapshot& settings, const char* valueName, const std::string& exePath)
{
    char list[kProgramListBytes];
    return ReadList(settings, valueName, list) && ListNamesProgram(list, exePath);
}

bool IsListedProgram(const char* valueName, const std::string& exePath)
{
    char list[kProgramListBytes];
    return ReadList(RegReader(HKEY_CURRENT_USER, names::kSettingsKey), valueName, list) &&
           ListNamesProgram(list, exePath);
}

bool SetProgramListed(const char* valueName, const std::string& exePath, bool listed)
{
    const RegReader settings(HKEY_CURRENT_USER, names::kSettingsKey);
    char list[kProgramListBytes];
    std::string updated;
    if (ReadList(settings, valueName, list)) {
        if (ListNamesProgram(list, exePath) == listed) return true;
        updated = listed ? WithProgram(list, exePath) : WithoutProgram(list, exePath);
    } else if (settings.Has(valueName)) {
        return false;  // too long, or not text, or not a list: the user's own, kept as it is
    } else if (listed) {
        updated = FileNameOf(exePath);
    } else {
        return true;
    }
    // A name that the list could not hold, or would read as something else, is not written.
    if (CheckList(updated) != ListFault::None || ListNamesProgram(updated, exePath) != listed) return false;
    return WriteRegString(HKEY_CURRENT_USER, names::kSettingsKey, valueName, updated.c_str());
}

StoredList ReadStoredList(const char* valueName)
{
    StoredList list;
    std::string bytes;
    list.present = RegReader(HKEY_CURRENT_USER, names::kSettingsKey).Raw(valueName, list.type, bytes);
    if (!list.present) return list;
    list.size = static_cast<DWORD>(bytes.size());
    if (list.type != REG_SZ) {
        list.fault = ListFault::NotText;
        return list;
    }
    // In the order the library meets them as it reads the value.
    const size_t units = bytes.size() / sizeof(wchar_t);
    const std::wstring_view wide(reinterpret_cast<const wchar_t*>(bytes.data()), units);
    const size_t textUnits = std::min(wide.find(L'\0'), units);
    list.text = Utf8(wide.substr(0, textUnits));
    if (units >= kProgramListSize)
        list.fault = ListFault::TooLong;
    else if (units != textUnits && units != textUnits + 1)
        list.fault = ListFault::ZeroByte;
    else if (const auto bad = BadEntryOf(list.text)) {
        list.fault = ListFault::BadEntry;
        list.badEntry = *bad;
    }
    return list;
}

std::vector<std::string> ListEntries(std::string_view list)
{
    std::vector<std::string> entries;
    for (std::string_view rest = list; !rest.empty();)
        if (const std::string_view entry = TakeEntry(rest); !entry.empty()) entries.emplace_back(entry);
    return entries;
}

std::string JoinEntries(const std::vector<std::string>& entries)
{
    std::string list;
    for (const std::string& entry : entries) list.append(list.empty() ? "" : kSeparatorText).append(entry);
    return list;
}

NameFault CheckProgramName(std::string_view name)
{
    if (name.find(kSeparator) != std::string_view::npos) return NameFault::HoldsSeparator;
    return name.size() > kLongestList ? NameFault::TooLong : NameFault::None;
}

ListFault CheckList(std::string_view list, std::string* badEntry)
{
    if (Utf16Length(list) > kLongestList) return ListFault::TooLong;
    const auto bad = BadEntryOf(list);
    if (!bad) return ListFault::None;
    if (badEntry != nullptr) *badEntry = *bad;
    return ListFault::BadEntry;
}

}  // namespace mirelunde
