#include "Gb2312.h"

#include <cstdint>
#include <cstdio>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

std::string CodePointName(char32_t cp, std::string_view utf8)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(cp));
    return "'" + std::string(utf8) + "' (" + hex + ")";
}

// The next code point of utf8 at pos (advanced past it); throws on bad UTF-8.
char32_t NextCodePoint(std::string_view utf8, std::size_t& pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(utf8[i]); };
    const std::uint8_t lead = byte(pos);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                       : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
    if (length == 0 || pos + length > utf8.size()) throw std::runtime_error("the text is not valid UTF-8");
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) throw std::runtime_error("the text is not valid UTF-8");
        cp = cp << 6 | (byte(pos + i) & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000))
        throw std::runtime_error("the text is not valid UTF-8");
    pos += length;
    return cp;
}

// The platform's GBK bytes of one code point, or an empty string.
#ifdef _WIN32
constexpr unsigned kGbCodePage = 936;

std::string GbkBytes(char32_t cp)
{
    if (cp > 0xFFFF) return {};
    const wchar_t wide = static_cast<wchar_t>(cp);
    char out[8];
    BOOL usedDefault = FALSE;
    const int n = ::WideCharToMultiByte(kGbCodePage, WC_NO_BEST_FIT_CHARS, &wide, 1, out, sizeof out, nullptr, &usedDefault);
    return n > 0 && !usedDefault ? std::string(out, static_cast<std::size_t>(n)) : std::string();
}

std::string Convert(unsigned fromPage, unsigned toPage, std::string_view text)
{
    if (text.empty()) return {};
    const int wideLength = ::MultiByteToWideChar(fromPage, MB_ERR_INVALID_CHARS, text.data(),
                                                 static_cast<int>(text.size()), nullptr, 0);
    if (wideLength <= 0) throw std::runtime_error("the stored text is not valid GB2312");
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(fromPage, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
    const int length = ::WideCharToMultiByte(toPage, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(toPage, 0, wide.data(), wideLength, out.data(), length, nullptr, nullptr);
    return out;
}
#else
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no conversion from " + std::string(from));
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    ~Iconv() { iconv_close(cd_); }

    // The whole input converted, or false when it holds a byte sequence that
    // has no counterpart.
    bool Convert(std::string_view in, std::string& out)
    {
        out.assign(in.size() * 4 + 8, '\0');
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char* dst = out.data();
        std::size_t dstLeft = out.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) return false;
        out.resize(out.size() - dstLeft);
        return true;
    }

private:
    iconv_t cd_;
};

std::string GbkBytes(char32_t cp)
{
    static Iconv toGbk("GBK", "UTF-32LE");
    const char in[4] = {static_cast<char>(cp), static_cast<char>(cp >> 8), static_cast<char>(cp >> 16), 0};
    std::string out;
    return toGbk.Convert(std::string_view(in, 4), out) ? out : std::string();
}
#endif

// GB2312 uses rows 1-9 (symbols) and 16-87 (hanzi) of its 94 x 94 table; the
// wider code page also maps private-use and extension characters elsewhere.
bool IsGb2312(const std::string& bytes)
{
    if (bytes.size() != 2) return false;
    const auto lead = static_cast<std::uint8_t>(bytes[0]), trail = static_cast<std::uint8_t>(bytes[1]);
    return ((lead >= 0xA1 && lead <= 0xA9) || (lead >= 0xB0 && lead <= 0xF7)) && trail >= 0xA1 && trail <= 0xFE;
}

}  // namespace

std::string Utf8ToGb2312(std::string_view utf8)
{
    std::string out;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        const char32_t cp = NextCodePoint(utf8, pos);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
            continue;
        }
        const std::string gb = GbkBytes(cp);
        if (!IsGb2312(gb))
            throw std::runtime_error("the character " + CodePointName(cp, utf8.substr(start, pos - start)) +
                                     " has no GB2312 code");
        out += gb;
    }
    return out;
}

std::string Gb2312ToUtf8(std::string_view gb)
{
#ifdef _WIN32
    return Convert(kGbCodePage, CP_UTF8, gb);
#else
    static Iconv toUtf8("UTF-8", "GBK");
    std::string out;
    if (!toUtf8.Convert(gb, out)) throw std::runtime_error("the stored text is not valid GB2312");
    return out;
#endif
}
