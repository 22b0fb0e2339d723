#include "util/BitmapInfo.h"
#include "util/Errors.h"

#include "TestData.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using testdata::MakeBitmap;

Bytes Patched(Bytes bytes, std::size_t at, std::uint32_t value, int width)
{
    for (int i = 0; i < width; ++i) bytes.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

TEST(Bitmap, ReportsSizeAndDepthOfValidFiles)
{
    struct Case {
        Bytes file;
        std::int32_t width, height;
        std::uint16_t bits;
    };
    Bytes core{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26 + 6, 0, 0, 0, 12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 1, 0};
    core.insert(core.end(), {0, 0, 0, 255, 255, 255, 0x40, 0, 0, 0});  // 2 palette entries, one row
    const Case cases[] = {
        {MakeBitmap(585, 68, 24), 585, 68, 24},
        {MakeBitmap(7, -3, 32), 7, 3, 32},  // top-down rows
        {MakeBitmap(33, 2, 1), 33, 2, 1},
        {MakeBitmap(5, 5, 8), 5, 5, 8},
        {core, 2, 1, 1},
    };
    for (const Case& c : cases) {
        const BitmapInfo info = ValidateBitmap(c.file);
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(info.bits, c.bits);
        EXPECT_EQ(info.bytes, c.file.size());
    }
}

TEST(Bitmap, RefusesFilesThatCannotBeDrawn)
{
    const Bytes good = MakeBitmap(10, 4, 24);
    const Bytes truncatedRows(good.begin(), good.end() - 1);
    const Bytes palette = MakeBitmap(4, 1, 8);
    struct Case {
        const char* name;
        Bytes file;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", {}, "it is too short"},
        {"not BM", Patched(good, 0, 'P', 1), "it does not start with BM"},
        {"file size", Patched(good, 2, static_cast<std::uint32_t>(good.size() + 1), 4), "it is truncated"},
        {"header size", Patched(good, 14, 20, 4), "unknown header size 20"},
        {"header cut", Patched(Bytes(good.begin(), good.begin() + 40), 2, 0, 4), "its header is truncated"},
        {"zero width", Patched(good, 18, 0, 4), "its size is 0 x 4"},
        {"zero height", Patched(good, 22, 0, 4), "its size is 10 x 0"},
        {"planes", Patched(good, 26, 2, 2), "2 planes"},
        {"bits", Patched(good, 28, 7, 2), "7 bits per pixel"},
        {"RLE", Patched(good, 30, 1, 4), "compression 1 is not supported"},
        {"JPEG", Patched(good, 30, 4, 4), "compression 4 is not supported"},
        {"palette", Patched(MakeBitmap(4, 4, 8), 46, 257, 4), "257 palette entries"},
        {"palette cut", Patched(Bytes(palette.begin(), palette.begin() + 60), 2, 0, 4), "its colour table is truncated"},
        {"offset inside header", Patched(good, 10, 20, 4), "the pixel offset 20 is outside the file"},
        {"offset beyond", Patched(good, 10, 0xFFFFFFF0, 4), "the pixel offset 4294967280 is outside the file"},
        {"rows cut", Patched(truncatedRows, 2, 0, 4), "its pixel data is truncated"},
        {"huge", Patched(Patched(good, 18, 0x7FFFFFFF, 4), 22, 0x7FFFFFFF, 4), "its pixel data is truncated"},
    };
    for (const Case& c : cases) {
        try {
            ValidateBitmap(c.file);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const BitmapError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("The banner is not a valid bitmap: ") + c.reason) << c.name;
        }
    }
}

}  // namespace
