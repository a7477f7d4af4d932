// What the launcher's dialogs share: their templates shown in the system's message font, their
// texts with access keys, and formatted texts.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>
#include <string_view>

namespace mirelunde {

// Runs the dialog resource `id` modally, in the message font the user set for the system.
INT_PTR RunDialog(WORD id, HWND owner, DLGPROC procedure, LPARAM param);

// Creates the dialog resource `id` as a part of `parent`'s window, in the same font as RunDialog's.
HWND CreateChildDialog(WORD id, HWND parent, DLGPROC procedure, LPARAM param);

// The text with `key` marked as its access key: the first `key` that starts a word, else the first
// `key`; no mark when the text has none. A translated text marks its own key with '&', or none: the
// English key is not looked for in it, and with no key given its mark is taken away.
std::string WithAccessKey(std::string_view text, char key);

// The text without its access key: its '&', or a "(&K)" after it, as East Asian texts mark one.
std::string WithoutAccessKey(std::string_view text);

// Sets a control's text, with its access key marked when one is given.
void SetControlText(HWND dialog, int control, std::string_view text, char key = 0);

// printf-style formatting into a string of whatever length it takes.
std::string Format(const char* format, ...);
std::string FormatList(const char* format, va_list args);

}  // namespace mirelunde
