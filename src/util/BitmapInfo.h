#pragma once
// Checks that bytes are a Windows bitmap file (BMP) that can be drawn: the
// file header, the info header and the pixel rows all lie inside the bytes.
// Portable: no windows.h.

#include <cstddef>
#include <cstdint>
#include <span>

struct BitmapInfo {
    std::int32_t width = 0;
    std::int32_t height = 0;    // rows, whichever way they are stored
    std::uint16_t bits = 0;     // bits per pixel
    std::size_t bytes = 0;      // size of the whole file
};

// Throws BitmapError with the reason when file is not a usable bitmap.
BitmapInfo ValidateBitmap(std::span<const std::uint8_t> file);
