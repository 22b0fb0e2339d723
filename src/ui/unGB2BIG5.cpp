#include "ui/unGB2BIG5.h"

#include "ui/TradTable.h"
#include "util/Text.h"

#include <windows.h>

#include <vector>

namespace {

constexpr unsigned kGbCodePage = 936;
constexpr unsigned kBig5CodePage = 950;

std::wstring Decode(std::string_view text, unsigned codePage)
{
    const std::string source = UpToNul(text);
    if (source.empty()) return {};
    std::vector<wchar_t> buffer(source.size() + 1);
    const int n = ::MultiByteToWideChar(codePage, 0, source.c_str(), -1, buffer.data(),
                                        static_cast<int>(buffer.size()));
    return n > 0 ? std::wstring(buffer.data(), n - 1) : std::wstring();
}

}  // namespace

std::string GetLangCode()
{
    return ::GetACP() == kBig5CodePage ? "B" : "A";
}

// Windows' own simplified-to-traditional mapping (LCMapString) is not available
// everywhere (Wine maps nothing), so the characters go through the launcher's
// own table, in UTF-16 between the two code pages.
std::string GBToBig5(std::string_view text)
{
    std::wstring wide = AnsiToWide(text, kGbCodePage);
    for (wchar_t& c : wide) c = static_cast<wchar_t>(ToTraditional(static_cast<char16_t>(c)));
    return WideToAnsi(wide, kBig5CodePage);
}

std::wstring AnsiToWide(std::string_view text, unsigned codePage)
{
    return Decode(text, codePage);
}

std::string WideToAnsi(std::wstring_view text, unsigned codePage)
{
    const std::wstring source(text.substr(0, text.find(L'\0')));
    if (source.empty()) return {};
    std::vector<char> buffer(2 * source.size() + 1);
    const int n = ::WideCharToMultiByte(codePage, 0, source.c_str(), -1, buffer.data(),
                                        static_cast<int>(buffer.size()), nullptr, nullptr);
    return n > 0 ? std::string(buffer.data(), n - 1) : std::string();
}

std::wstring ScreenText(std::string_view text, std::string_view langCode)
{
    return Decode(text, langCode == "B" ? kBig5CodePage : kGbCodePage);
}

std::string Gb(std::string_view utf8)
{
    return WideToAnsi(Decode(utf8, CP_UTF8), kGbCodePage);
}
