// Checking that the texts come in the language of the run.
#include "tests/support/UserLanguage.h"

#include "launcher/LauncherTexts.h"
#include "settings/Language.h"
#include "settings/Text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace testing_support {

void ExpectTheLanguageOfTheRun()
{
    const char* tag = std::getenv("MIRELUNDE_TEST_LANGUAGE");
    const std::string language = tag != nullptr ? tag : "";
    // Words a person of each language reads, written here rather than taken from the tables.
    struct Row {
        const char* tag;
        LANGID id;
        const char* options;
    } const rows[] = {
        {"", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), "Options"},
        {"de-DE", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), "Optionen"},
        {"ja-JP", MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), "オプション"},
    };
    for (const Row& row : rows) {
        if (language != row.tag) continue;
        EXPECT_EQ(mirelunde::TextLanguage(), row.id) << "the run is not in " << (tag ? tag : "English");
        EXPECT_STREQ(mirelunde::Text(mirelunde::texts::kOptions), row.options);
        return;
    }
    ADD_FAILURE() << "no words known for the language " << language;
}

}  // namespace testing_support
