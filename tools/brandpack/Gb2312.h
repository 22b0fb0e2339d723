#pragma once
// Conversion between the UTF-8 of the command line and the GB2312 bytes
// stored in Brand.dat.

#include <string>
#include <string_view>

// GB2312 bytes of a UTF-8 text. Throws std::runtime_error naming the first
// character that GB2312 has no code for, or when utf8 is not valid UTF-8.
std::string Utf8ToGb2312(std::string_view utf8);

// UTF-8 of stored text (GB2312; the GBK extensions are read too). Throws
// std::runtime_error when the bytes are not such text.
std::string Gb2312ToUtf8(std::string_view gb);
