#pragma once
// Small text helpers shared by portable and Windows code. Texts are byte
// strings (GB2312 or the system's ANSI code page); no windows.h here.

#include <string>
#include <string_view>

// The bytes of text up to its first NUL byte, or all of them when there is none.
std::string UpToNul(std::string_view text);
