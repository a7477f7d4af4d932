// Loading the texts of the user's language from the string tables, once, when the first is needed.
#include "settings/Language.h"

#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <string>
#include <vector>

// The first byte of whichever image this code is linked into: the library, the launcher or a test.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace mirelunde {

namespace {

constexpr LANGID kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
constexpr unsigned kTagSize = LOCALE_NAME_MAX_LENGTH * 3;

struct Texts {
    LANGID language = kNeutral;
    std::vector<std::string> texts;  // from kFirstTextId on
};

// Published once made; a table replaced by ForgetTextLanguage is kept, as its texts may still be
// shown, and a thread that made one at the same time as another throws its own away.
std::atomic<Texts*> current{nullptr};

// RT_STRING in its wide form; the plain one is ANSI here.
LPCWSTR StringTables()
{
    return MAKEINTRESOURCEW(6);
}

HMODULE OwnImage()
{
    return reinterpret_cast<HMODULE>(&__ImageBase);
}

// The launcher beside the library, whose string tables hold every language; the library's own hold
// English only, to keep the image that every program maps small. Null in the launcher and in a
// library without a launcher beside it.
class LauncherImage {
public:
    LauncherImage()
    {
        wchar_t path[MAX_PATH * 2];
        const DWORD length = GetModuleFileNameW(OwnImage(), path, MAX_PATH * 2);
        if (length == 0 || length >= MAX_PATH * 2) return;
        std::wstring launcher(path, length);
        const size_t slash = launcher.find_last_of(L"\\/");
        if (slash == std::wstring::npos || _wcsicmp(launcher.c_str() + slash + 1, kLauncherFile) == 0) return;
        launcher.replace(slash + 1, std::wstring::npos, kLauncherFile);
        image_ = LoadLibraryExW(launcher.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    ~LauncherImage()
    {
        if (image_ != nullptr) FreeLibrary(image_);
    }
    LauncherImage(const LauncherImage&) = delete;
    LauncherImage& operator=(const LauncherImage&) = delete;
    HMODULE get() const { return image_; }

private:
    static constexpr wchar_t kLauncherFile[] = L"mirelunde.exe";
    HMODULE image_ = nullptr;
};

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) noexcept
{
    auto* languages = reinterpret_cast<std::vector<LANGID>*>(param);
    try {
        languages->push_back(language);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

std::wstring_view TextOf(HMODULE image, UINT id, LANGID language)
{
    if (image == nullptr) return {};
    const HRSRC found = FindResourceExW(image, StringTables(), MAKEINTRESOURCEW(id / 16 + 1), language);
    const HGLOBAL loaded = found ? LoadResource(image, found) : nullptr;
    const auto* block = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (block == nullptr) return {};
    const WCHAR* end = block + SizeofResource(image, found) / sizeof(WCHAR);
    for (UINT skipped = 0; skipped < id % 16 && block < end; ++skipped) block += 1 + *block;
    if (block >= end || block + 1 + *block > end) return {};
    return {block + 1, *block};
}

void CollectLanguages(HMODULE image, std::vector<LANGID>& held)
{
    if (image != nullptr)
        EnumResourceLanguagesW(image, StringTables(), MAKEINTRESOURCEW(kFirstTextId / 16 + 1), CollectLanguage,
                               reinterpret_cast<LONG_PTR>(&held));
}

// The language of the tables for `wanted`: its own, or another of the same language (Portuguese of
// Portugal is shown the Brazilian one); 0 when the tables hold neither.
LANGID Held(LANGID wanted, const std::vector<LANGID>& held)
{
    for (const LANGID language : held)
        if (language == wanted) return language;
    for (const LANGID language : held)
        if (PRIMARYLANGID(language) == PRIMARYLANGID(wanted) && PRIMARYLANGID(wanted) != LANG_NEUTRAL) return language;
    // English is the neutral table.
    if (PRIMARYLANGID(wanted) == LANG_ENGLISH && std::find(held.begin(), held.end(), kNeutral) != held.end())
        return kNeutral;
    return 0;
}

LANGID HeldForTag(std::string_view tag, const std::vector<LANGID>& held)
{
    if (tag.empty()) return 0;
    const LCID locale = LocaleNameToLCID(Wide(tag).c_str(), 0);
    return locale != 0 ? Held(LANGIDFROMLCID(locale), held) : 0;
}

LANGID ChooseLanguage(const std::vector<LANGID>& held)
{
    char tag[kTagSize];
    if (ReadRegString(HKEY_CURRENT_USER, names::kSettingsKey, names::kLanguage, tag, sizeof tag))
        if (const LANGID chosen = HeldForTag(tag, held)) return chosen;
    const LANGID shown = Held(GetUserDefaultUILanguage(), held);
    return shown != 0 ? shown : kNeutral;
}

Texts* MakeTexts()
{
    const LauncherImage launcher;
    std::vector<LANGID> own;
    std::vector<LANGID> held;
    CollectLanguages(OwnImage(), own);
    CollectLanguages(launcher.get(), held);
    held.insert(held.end(), own.begin(), own.end());
    auto* made = new Texts;
    made->language = ChooseLanguage(held);
    // Each image is asked only for a language it holds: for any other the loader gives its English.
    const bool ownHolds = std::find(own.begin(), own.end(), made->language) != own.end();
    const HMODULE image = ownHolds ? OwnImage() : launcher.get();
    made->texts.reserve(kLastTextId - kFirstTextId + 1);
    for (UINT id = kFirstTextId; id <= kLastTextId; ++id) {
        std::wstring_view text = TextOf(image, id, made->language);
        if (text.empty()) text = TextOf(OwnImage(), id, kNeutral);
        made->texts.push_back(Utf8(text));
    }
    return made;
}

const Texts& CurrentTexts()
{
    Texts* texts = current.load(std::memory_order_acquire);
    if (texts != nullptr) return *texts;
    Texts* made = MakeTexts();
    if (current.compare_exchange_strong(texts, made, std::memory_order_acq_rel)) return *made;
    delete made;
    return *texts;
}

}  // namespace

std::wstring_view TextIn(UINT id, LANGID language)
{
    return TextOf(OwnImage(), id, language);
}

std::vector<LANGID> TextLanguages()
{
    std::vector<LANGID> held;
    CollectLanguages(OwnImage(), held);
    return held;
}

LANGID TableLanguageOf(std::string_view tag)
{
    return HeldForTag(tag, TextLanguages());
}

std::string TagOf(LANGID language)
{
    if (language == kNeutral) return "en-US";
    wchar_t tag[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(MAKELCID(language, SORT_DEFAULT), tag, LOCALE_NAME_MAX_LENGTH, 0) == 0) return {};
    return Utf8(tag);
}

const char* Text(UINT id)
{
    if (id < kFirstTextId || id > kLastTextId) return "";
    return CurrentTexts().texts[id - kFirstTextId].c_str();
}

LANGID TextLanguage()
{
    return CurrentTexts().language;
}

void ChooseTextLanguageAgain()
{
    Texts* texts = current.load(std::memory_order_acquire);
    if (texts == nullptr) return;  // chosen when first needed
    Texts* made = MakeTexts();
    // The table replaced is kept: its texts may still be on show.
    if (made->language == texts->language || !current.compare_exchange_strong(texts, made, std::memory_order_acq_rel))
        delete made;
}

}  // namespace mirelunde
