// The texts the user reads, from the string tables of the image this code is linked into (and, for
// the library, of the launcher beside it, which holds the languages other than English), in the
// user's language: the "Language" value when it names a language the tables hold, otherwise the
// language Windows shows its own texts in; English, the neutral language, for any text a language
// lacks. The language is chosen when a text is first needed, never as the library arrives.
#pragma once

#include "res/TextIds.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace mirelunde {

// The text, UTF-8; the pointer stays valid for the life of the process. An id with no text in any
// language reads as "".
const char* Text(UINT id);

// The language the texts come in, choosing it if no text was needed yet.
LANGID TextLanguage();

// The string `id` as the table of `language` in this image holds it, UTF-16; empty when that table
// lacks it.
std::wstring_view TextIn(UINT id, LANGID language);

// The languages the string tables of this image hold, English (the neutral one) among them.
std::vector<LANGID> TextLanguages();

// The language of the tables that a "Language" value such as "de-AT" picks: its own, another of the
// same language, or the neutral one for English; 0 when the tables hold none of them.
LANGID TableLanguageOf(std::string_view tag);

// The tag "Language" stores for a language of the tables, such as "de-DE"; "en-US" for English.
std::string TagOf(LANGID language);

// Chooses the language again, as the launcher does before it shows a menu or a window, so that a
// "Language" changed meanwhile takes effect there at once. Texts taken before stay as they were.
void ChooseTextLanguageAgain();

}  // namespace mirelunde
