// Text as it crosses the system: the library and the launcher keep text in UTF-8 and hand the
// system UTF-16, through the W functions, so no name depends on the ANSI code page.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace mirelunde {

// UTF-8 to UTF-16 and back; text that is not UTF-8 comes out with the replacement character.
std::wstring Wide(std::string_view text);
std::string Utf8(std::wstring_view text);

// Into a buffer of the caller's, for paths that are not allocated: false, with the buffer empty,
// when the text does not fit with its terminator.
bool ToWide(std::string_view text, wchar_t* buffer, size_t size);

// Text that a caller of an export gives as `char`: UTF-8 when it is that, otherwise in the ANSI
// code page, as older launchers wrote it.
std::wstring CallerText(const char* text);

// The length of UTF-8 text in UTF-16 units, as the system counts it.
size_t Utf16Length(std::string_view text);

// Compared as the system compares file names: ignoring case by its own rules, for every script.
bool SameIgnoringCase(std::string_view a, std::string_view b);

// MessageBoxW with UTF-8 text and caption.
int MessageBoxText(HWND owner, std::string_view text, std::string_view caption, UINT style);

// UTF-8 text held in a buffer for one W call, without allocating; longer text is cut to nothing.
template <size_t Size>
class WideText {
public:
    explicit WideText(std::string_view text) { ToWide(text, text_, Size); }
    operator const wchar_t*() const { return text_; }

private:
    wchar_t text_[Size];
};

}  // namespace mirelunde
