#include "util/Text.h"

std::string UpToNul(std::string_view text)
{
    return std::string(text.substr(0, text.find('\0')));
}

std::string TrimTrailingNoise(std::string text)
{
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) text.pop_back();
    return text;
}
