#pragma once
// Chinese script conversion, and the one place where the launcher's own texts
// are turned into what the screen shows.
//
// Texts are byte strings. The launcher's texts are GB2312 (code page 936); on a
// system whose ANSI code page is 950 they are shown converted to Traditional
// characters in BIG5.

#include <string>
#include <string_view>

// "B" when the system's ANSI code page is 950, otherwise "A". Asks every time.
std::string GetLangCode();

// A GB2312 text in simplified characters as the same text in traditional
// characters, BIG5-encoded. Stops at the first NUL byte; empty in, empty out.
std::string GBToBig5(std::string_view text);

// Code-page conversions; both read the text up to its first NUL and give an
// empty result when the conversion fails.
std::wstring AnsiToWide(std::string_view text, unsigned codePage);
std::string WideToAnsi(std::wstring_view text, unsigned codePage);

// The launcher's own text as the screen shows it: decoded from the code page
// it is written in, 950 for language code "B", 936 otherwise. Every caption and
// message of the launcher reaches Windows through this and the wide-character
// functions, so that it reads correctly whatever the system's code page.
std::wstring ScreenText(std::string_view text, std::string_view langCode);

// The GB2312 bytes of a UTF-8 text: how the launcher's Chinese texts, written
// in UTF-8 source files, become the byte strings the program works with.
std::string Gb(std::string_view utf8);
