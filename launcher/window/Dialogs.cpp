// The launcher's dialogs: a dialog resource with its font made the system's message font before it is
// shown, access keys, and formatting.
#include "launcher/window/Dialogs.h"

#include "settings/Language.h"
#include "settings/Text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

namespace mirelunde {

namespace {

// Where the fixed part of an extended dialog template (DLGTEMPLATEEX) ends, and where its style is.
constexpr size_t kFixedHeaderSize = 26;
constexpr size_t kStyleOffset = 12;
constexpr WORD kExtendedSignature = 0xFFFF;

WORD WordAt(const std::vector<BYTE>& data, size_t at)
{
    WORD word = 0;
    std::memcpy(&word, data.data() + at, sizeof word);
    return word;
}

// Past a zero-terminated wide string; `data.size()` when it runs off the end.
size_t SkipString(const std::vector<BYTE>& data, size_t at)
{
    for (; at + sizeof(WORD) <= data.size(); at += sizeof(WORD))
        if (WordAt(data, at) == 0) return at + sizeof(WORD);
    return data.size();
}

// Past a menu or class field: nothing, an ordinal, or a name.
size_t SkipNameOrOrdinal(const std::vector<BYTE>& data, size_t at)
{
    if (at + sizeof(WORD) > data.size()) return data.size();
    const WORD first = WordAt(data, at);
    if (first == 0) return at + sizeof(WORD);
    if (first == 0xFFFF) return at + 2 * sizeof(WORD);
    return SkipString(data, at);
}

template <typename T>
void Append(std::vector<BYTE>& out, const T& value)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof value);
}

// The template with the message font in place of the one it names: the dialog units, and with them
// the whole layout, follow the font the user reads the system's messages in. The template as it is
// when it is not one this can read.
std::vector<BYTE> WithMessageFont(std::vector<BYTE> data)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (data.size() < kFixedHeaderSize || WordAt(data, 2) != kExtendedSignature ||
        !SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return data;
    DWORD style = 0;
    std::memcpy(&style, data.data() + kStyleOffset, sizeof style);
    if ((style & DS_SETFONT) == 0) return data;
    size_t at = SkipNameOrOrdinal(data, kFixedHeaderSize);  // menu
    at = SkipNameOrOrdinal(data, at);                       // class
    const size_t font = SkipString(data, at);               // after the title
    const size_t items = (SkipString(data, font + 6) + 3) & ~size_t{3};
    if (items > data.size()) return data;

    const LOGFONTW& message = metrics.lfMessageFont;
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    const int points = dpi > 0 ? MulDiv(message.lfHeight < 0 ? -message.lfHeight : message.lfHeight, 72, dpi) : 0;
    if (points <= 0) return data;

    std::vector<BYTE> out(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(font));
    style &= ~DS_FIXEDSYS;  // the shell-font flag would put its own face back
    std::memcpy(out.data() + kStyleOffset, &style, sizeof style);
    Append(out, static_cast<WORD>(points));
    Append(out, static_cast<WORD>(message.lfWeight));
    Append(out, message.lfItalic);
    Append(out, message.lfCharSet);
    const size_t faceLength = wcsnlen(message.lfFaceName, LF_FACESIZE - 1);
    const auto* face = reinterpret_cast<const BYTE*>(message.lfFaceName);
    out.insert(out.end(), face, face + faceLength * sizeof(WCHAR));
    Append(out, WCHAR{0});
    out.resize((out.size() + 3) & ~size_t{3});  // the items start on a DWORD, as they did
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(items), data.end());
    return out;
}

}  // namespace

INT_PTR RunDialog(WORD id, HWND owner, DLGPROC procedure, LPARAM param)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), RT_DIALOG);
    const HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (bytes == nullptr) return -1;
    const std::vector<BYTE> dialog = WithMessageFont({bytes, bytes + SizeofResource(instance, found)});
    return DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), owner, procedure,
                                   param);
}

HWND CreateChildDialog(WORD id, HWND parent, DLGPROC procedure, LPARAM param)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), RT_DIALOG);
    const HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (bytes == nullptr) return nullptr;
    const std::vector<BYTE> dialog = WithMessageFont({bytes, bytes + SizeofResource(instance, found)});
    return CreateDialogIndirectParamA(instance, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), parent, procedure,
                                      param);
}

std::string WithoutAccessKey(std::string_view text)
{
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "(&" && i + 3 < text.size() && text[i + 3] == ')') {
            i += 3;
            continue;
        }
        if (text[i] == '&' && i + 1 < text.size() && text[++i] != '&') {
            plain += text[i];
            continue;
        }
        plain += text[i];
    }
    while (!plain.empty() && plain.back() == ' ') plain.pop_back();
    return plain;
}

std::string WithAccessKey(std::string_view text, char key)
{
    if (text.find('&') != std::string_view::npos) return key == 0 ? WithoutAccessKey(text) : std::string(text);
    std::string marked(text);
    if (key == 0 || TextLanguage() != MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)) return marked;
    size_t at = std::string_view::npos;
    for (size_t i = 0; i < text.size() && at == std::string_view::npos; ++i)
        if (text[i] == key && (i == 0 || text[i - 1] == ' ')) at = i;
    if (at == std::string_view::npos) at = text.find(key);
    if (at != std::string_view::npos) marked.insert(at, 1, '&');
    return marked;
}

void SetControlText(HWND dialog, int control, std::string_view text, char key)
{
    SetDlgItemTextW(dialog, control, Wide(WithAccessKey(text, key)).c_str());
}

std::string FormatList(const char* format, va_list args)
{
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = FormatList(format, args);
    va_end(args);
    return text;
}

}  // namespace mirelunde
