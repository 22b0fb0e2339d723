#include "util/BitmapInfo.h"

#include "util/Errors.h"

#include <string>

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // OS/2-style header: 16-bit sizes, 3-byte palette entries
constexpr std::uint32_t kInfoHeaderSize = 40;

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;

std::uint32_t Le(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t width)
{
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes[at + i];
    return value;
}

[[noreturn]] void Fail(const std::string& reason) { throw BitmapError("The banner is not a valid bitmap: " + reason); }

bool KnownInfoHeaderSize(std::uint32_t size)
{
    return size == kCoreHeaderSize || size == kInfoHeaderSize || size == 52 || size == 56 || size == 108 ||
           size == 124;
}

}  // namespace

BitmapInfo ValidateBitmap(std::span<const std::uint8_t> file)
{
    if (file.size() < kFileHeaderSize + kCoreHeaderSize) Fail("it is too short");
    if (file[0] != 'B' || file[1] != 'M') Fail("it does not start with BM");
    const std::uint32_t fileSize = Le(file, 2, 4);
    const std::uint32_t pixelOffset = Le(file, 10, 4);
    if (fileSize > file.size()) Fail("it is truncated");

    const std::uint32_t headerSize = Le(file, 14, 4);
    if (!KnownInfoHeaderSize(headerSize)) Fail("unknown header size " + std::to_string(headerSize));
    if (kFileHeaderSize + headerSize > file.size()) Fail("its header is truncated");
    const bool core = headerSize == kCoreHeaderSize;

    BitmapInfo info;
    std::int64_t height;
    std::uint32_t planes, compression = kRgb, colorsUsed = 0;
    if (core) {
        info.width = static_cast<std::int32_t>(Le(file, 18, 2));
        height = Le(file, 20, 2);
        planes = Le(file, 22, 2);
        info.bits = static_cast<std::uint16_t>(Le(file, 24, 2));
    } else {
        info.width = static_cast<std::int32_t>(Le(file, 18, 4));
        height = static_cast<std::int32_t>(Le(file, 22, 4));
        planes = Le(file, 26, 2);
        info.bits = static_cast<std::uint16_t>(Le(file, 28, 2));
        compression = Le(file, 30, 4);
        colorsUsed = Le(file, 46, 4);
    }
    if (height < 0) height = -height;  // rows stored top-down
    if (info.width <= 0 || height == 0) Fail("its size is " + std::to_string(info.width) + " x " + std::to_string(height));
    if (planes != 1) Fail(std::to_string(planes) + " planes");
    const std::uint16_t bits = info.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        Fail(std::to_string(bits) + " bits per pixel");
    if (compression != kRgb && !(compression == kBitFields && (bits == 16 || bits == 32)))
        Fail("compression " + std::to_string(compression) + " is not supported");
    info.height = static_cast<std::int32_t>(height);

    // Colour masks (after a 40-byte header) and the palette lie between the
    // headers and the pixels.
    std::uint64_t tables = compression == kBitFields && headerSize == kInfoHeaderSize ? 12 : 0;
    if (bits <= 8) {
        const std::uint32_t maxColors = 1u << bits;
        if (colorsUsed > maxColors) Fail(std::to_string(colorsUsed) + " palette entries");
        tables += std::uint64_t{colorsUsed ? colorsUsed : maxColors} * (core ? 3 : 4);
    }
    const std::uint64_t tablesEnd = kFileHeaderSize + headerSize + tables;
    if (tablesEnd > file.size()) Fail("its colour table is truncated");
    if (pixelOffset < kFileHeaderSize + headerSize || pixelOffset > file.size())
        Fail("the pixel offset " + std::to_string(pixelOffset) + " is outside the file");

    const std::uint64_t stride = (std::uint64_t{static_cast<std::uint32_t>(info.width)} * bits + 31) / 32 * 4;
    const std::uint64_t available = file.size() - pixelOffset;
    if (static_cast<std::uint64_t>(height) > available / stride) Fail("its pixel data is truncated");
    info.bytes = file.size();
    return info;
}
