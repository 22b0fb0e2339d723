#pragma once
// Builders of test inputs: bitmap files and brand records.

#include "util/BrandContainer.h"
#include "util/DataPacket.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testdata {

inline void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int width)
{
    for (int i = 0; i < width; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A bottom-up BMP file with a 40-byte info header (and a grey palette for
// 8 bits or fewer); the pixels form a gradient with stripes and a little
// noise, which compresses about as well as a drawn banner does.
inline std::vector<std::uint8_t> MakeBitmap(std::int32_t width, std::int32_t height, std::uint16_t bits = 24)
{
    const std::uint32_t paletteSize = bits <= 8 ? (1u << bits) * 4 : 0;
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) * bits + 31) / 32 * 4;
    const std::uint32_t rows = static_cast<std::uint32_t>(height < 0 ? -height : height);
    const std::uint32_t offset = 14 + 40 + paletteSize;
    std::vector<std::uint8_t> bmp{'B', 'M'};
    PutLe(bmp, offset + stride * rows, 4);
    PutLe(bmp, 0, 4);
    PutLe(bmp, offset, 4);
    for (std::uint32_t v : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)}) PutLe(bmp, v, 4);
    PutLe(bmp, 1, 2);
    PutLe(bmp, bits, 2);
    for (std::uint32_t v : {0u, stride * rows, 0u, 0u, 0u, 0u}) PutLe(bmp, v, 4);
    for (std::uint32_t i = 0; i < paletteSize / 4; ++i) PutLe(bmp, i * 0x010101u & 0xFFFFFF, 4);
    std::uint32_t noise = 12345;
    for (std::uint32_t y = 0; y < rows; ++y)
        for (std::uint32_t x = 0; x < stride; ++x) {
            noise = noise * 1103515245u + 12345u;
            bmp.push_back(static_cast<std::uint8_t>(((x / 3 + y * 2) ^ ((x / 40) % 2 ? 0x30 : 0)) + (noise >> 31)));
        }
    return bmp;
}

inline const std::vector<PacketFieldDef>& BrandFields()
{
    static const std::vector<PacketFieldDef> fields{
        {"a10", PacketFieldType::String, 100},
        {"a16", PacketFieldType::String, 100},
        {"a18", PacketFieldType::String, 50},
        {"d3", PacketFieldType::Blob, 0},
    };
    return fields;
}

// A brand record packet (texts given as GB2312 bytes).
inline std::vector<std::uint8_t> MakeBrandPacket(const std::string& title, const std::string& company,
                                                 const std::string& addin, const std::vector<std::uint8_t>& banner)
{
    const PacketRow row{title, company, addin, std::string(banner.begin(), banner.end())};
    return WriteDataPacket(BrandFields(), std::span<const PacketRow>(&row, 1));
}

// GB2312 bytes of a product title, a company and an add-in name.
inline const std::string kTitle = "\xBB\xE3\xB1\xA8\xB1\xA8\xB1\xED\xCF\xB5\xCD\xB3 V3.4";  // "汇报报表系统 V3.4"
inline const std::string kCompany = "\xB1\xB1\xBE\xA9\xBF\xC6\xBC\xBC\xD3\xD0\xCF\xDE\xB9\xAB\xCB\xBE";  // "北京科技有限公司"
inline const std::string kAddin = "\xC2\xBC\xB5\xA5\xD6\xFA\xCA\xD6";  // "录单助手"

// A Brand.dat as the product ships it: 585 x 68 x 24 banner, Chinese texts.
inline std::vector<std::uint8_t> MakeBrandFile()
{
    const auto packet = MakeBrandPacket(kTitle, kCompany, kAddin, MakeBitmap(585, 68, 24));
    return ZipContainer(packet, std::string_view("Brand"));
}

}  // namespace testdata
