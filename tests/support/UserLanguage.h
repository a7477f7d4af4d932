// The language a test run is in: scripts/test runs some suites under a German and a Japanese Wine,
// naming the language in MIRELUNDE_TEST_LANGUAGE; without it the run is in English.
#pragma once

namespace testing_support {

// Adds a failure unless the texts come in the run's language, as their words show.
void ExpectTheLanguageOfTheRun();

}  // namespace testing_support
