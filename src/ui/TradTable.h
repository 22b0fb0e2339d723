#pragma once
// Simplified -> traditional Chinese characters, for the characters of GB2312.
// Portable: no windows.h. The table is generated (tools/gen_trad_table.py).

#include <cstddef>

// The traditional form of a simplified character that has one with a BIG5
// code; any other UTF-16 unit comes back unchanged.
char16_t ToTraditional(char16_t c);

// The number of characters that the table changes.
std::size_t TradTableSize();
