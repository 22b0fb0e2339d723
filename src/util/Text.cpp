#include "util/Text.h"

std::string UpToNul(std::string_view text)
{
    return std::string(text.substr(0, text.find('\0')));
}
