// Text as it crosses the system: UTF-8 inside, UTF-16 at every W call.
#include "settings/Text.h"

namespace mirelunde {

namespace {

int WideLength(std::string_view text, UINT codePage, DWORD flags)
{
    return text.empty() ? 0
                        : MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
}

std::wstring WideIn(std::string_view text, UINT codePage, DWORD flags)
{
    const int length = WideLength(text, codePage, flags);
    std::wstring wide(length > 0 ? static_cast<size_t>(length) : 0, L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

}  // namespace

std::wstring Wide(std::string_view text)
{
    return WideIn(text, CP_UTF8, 0);
}

std::string Utf8(std::wstring_view text)
{
    if (text.empty()) return {};
    const auto size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

bool ToWide(std::string_view text, wchar_t* buffer, size_t size)
{
    if (size == 0) return false;
    buffer[0] = L'\0';
    if (text.empty()) return true;
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), buffer, static_cast<int>(size - 1));
    if (length <= 0) {
        buffer[0] = L'\0';
        return false;
    }
    buffer[length] = L'\0';
    return true;
}

std::wstring CallerText(const char* text)
{
    if (text == nullptr) return {};
    const std::string_view view(text);
    if (WideLength(view, CP_UTF8, MB_ERR_INVALID_CHARS) > 0) return WideIn(view, CP_UTF8, 0);
    return WideIn(view, CP_ACP, 0);
}

size_t Utf16Length(std::string_view text)
{
    const int length = WideLength(text, CP_UTF8, 0);
    return length > 0 ? static_cast<size_t>(length) : 0;
}

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.empty() || b.empty()) return a.empty() && b.empty();
    const std::wstring left = Wide(a);
    const std::wstring right = Wide(b);
    return CompareStringOrdinal(left.data(), static_cast<int>(left.size()), right.data(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

int MessageBoxText(HWND owner, std::string_view text, std::string_view caption, UINT style)
{
    return MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), style);
}

}  // namespace mirelunde
