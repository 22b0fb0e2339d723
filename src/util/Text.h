#pragma once
// Small text helpers shared by portable and Windows code. Texts are byte
// strings (GB2312 or the system's ANSI code page); no windows.h here.

#include <string>
#include <string_view>

// The bytes of text up to its first NUL byte, or all of them when there is none.
std::string UpToNul(std::string_view text);

// text without the spaces, control characters and full stops at its end: how
// system and automation error texts are shown.
std::string TrimTrailingNoise(std::string text);
