// The texts in every language: each language has every text, keeps the English text's formatting,
// and gives each menu and dialog access keys that differ; the "Language" value chooses among them.
#include "commands/CommandTexts.h"
#include "launcher/LauncherTexts.h"
#include "menu/MenuTexts.h"
#include "settings/Language.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"
#include "tests/support/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace mirelunde;

namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

// The printf conversions of a text, in order.
std::string Conversions(std::wstring_view text)
{
    std::string found;
    for (size_t at = text.find(L'%'); at != std::wstring_view::npos; at = text.find(L'%', at + 1)) {
        const size_t end = text.find_first_of(L"sudc%", at + 1);
        if (end == std::wstring_view::npos) break;
        found += Utf8(text.substr(at, end - at + 1));
        at = end;
    }
    return found;
}

// The access key a text marks with '&', in upper case; 0 when it marks none.
wchar_t AccessKey(std::wstring_view text)
{
    for (size_t at = text.find(L'&'); at != std::wstring_view::npos && at + 1 < text.size();
         at = text.find(L'&', at + 2)) {
        if (text[at + 1] == L'&') continue;
        wchar_t key = text[at + 1];
        CharUpperBuffW(&key, 1);
        return key;
    }
    return 0;
}

std::string Name(LANGID language)
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    LCIDToLocaleName(MAKELCID(language, SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0);
    return Utf8(name);
}

TEST(Texts, EveryLanguageHasEveryTextAndEachMenuDifferentAccessKeys)
{
    const std::vector<LANGID> languages = TextLanguages();
    EXPECT_EQ(languages.size(), 11u) << "English and ten translations";
    // The rows of each menu and dialog, as they show together.
    const std::vector<std::vector<UINT>> menus = {
        {texts::kShadeWindow, texts::kSinkWindow, texts::kOnTop, texts::kMaximize, texts::kHug, texts::kProcess,
         texts::kConfigure, texts::kAbout},
        {texts::kWhenShaded, texts::kAlways, texts::kAlwaysForThisProgram},
        {texts::kVertically, texts::kHorizontally, texts::kBoth, texts::kUnmaximize},
        {texts::kTop, texts::kRight, texts::kLeft, texts::kBottom, texts::kTopLeft, texts::kTopRight,
         texts::kBottomLeft, texts::kBottomRight, texts::kStretchyHugging},
        {texts::kInfo, texts::kDelete, texts::kDestroy},
        {texts::kMouse, texts::kKeyboardShortcuts, texts::kSystemMenu, texts::kRunAtLogin, texts::kStopNow,
         texts::kLeaveProgramAlone, texts::kSettings},
        {texts::kLeftDoubleClick, texts::kShadeOnRight, texts::kSinkOnMiddle, texts::kTwoButtonMouse},
        {texts::kShade, texts::kMaximize},
        {texts::kSettings, texts::kAbout, texts::kRunAtLogin, texts::kStopMirelunde},
        {texts::kShade, texts::kMaximize, texts::kShadeOnRight, texts::kSinkOnMiddle, texts::kTwoButtonMouse,
         texts::kKeyboardShortcuts, texts::kStretchyHugging, texts::kSystemMenu, texts::kRunAtLogin,
         texts::kElevatedStartRow, texts::kApply, texts::kExcludedProgramsLabel, texts::kKeptOnTopLabel, texts::kAdd,
         texts::kRemove, texts::kOk, texts::kCancel, texts::kLanguageLabel},
        {texts::kRunningPrograms, texts::kBrowse, texts::kOk, texts::kCancel},
    };
    for (const LANGID language : languages) {
        SCOPED_TRACE(Name(language));
        for (UINT id = kFirstTextId; id <= kLastTextId; ++id) {
            const std::wstring_view text = TextIn(id, language);
            EXPECT_FALSE(text.empty()) << "no text " << id;
            EXPECT_EQ(Conversions(text), Conversions(TextIn(id, kEnglish))) << Utf8(text);
        }
        for (const std::vector<UINT>& menu : menus) {
            std::wstring keys;
            for (const UINT id : menu) {
                const wchar_t key = AccessKey(TextIn(id, language));
                EXPECT_TRUE(key == 0 || keys.find(key) == std::wstring::npos)
                    << Utf8(TextIn(id, language)) << " repeats a key of " << Utf8(keys);
                if (key != 0) keys += key;
            }
        }
    }
}

// "Language" names the language the texts come in; an empty or unknown one, or one with no texts,
// leaves Windows' choice (English here).
TEST(Texts, LanguageValueChoosesTheTextsAndOtherwiseWindowsChooses)
{
    struct Row {
        const char* value;  // nullptr: no value
        const char* settings;
    } const rows[] = {
        {"de-DE", "Einstellungen ..."}, {"de-AT", "Einstellungen ..."}, {"ja-JP", "設定 ..."},
        {"pt-PT", "Configurações ..."}, {"zh-CN", "设置 ..."},          {"", "Settings ..."},
        {"xx-YY", "Settings ..."},      {"sw-KE", "Settings ..."},      {nullptr, "Settings ..."},
    };
    ASSERT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), LANG_ENGLISH) << "Windows shows English here";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value ? row.value : "no value");
        testing_support::RegistrySandbox::Clear();
        if (row.value) {
            ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, names::kSettingsKey, names::kLanguage, row.value));
        }
        ChooseTextLanguageAgain();
        EXPECT_STREQ(Text(texts::kSettings), row.settings);
    }
    testing_support::RegistrySandbox::Clear();
    ChooseTextLanguageAgain();
}

}  // namespace
