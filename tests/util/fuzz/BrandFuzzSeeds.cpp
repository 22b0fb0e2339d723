// Writes the seed corpus of brand_fuzz into a directory: containers, packets
// and bitmaps of the kinds the readers meet.

#include "TestData.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

void Write(const std::string& dir, const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(dir + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: brand_fuzz_seeds DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    using namespace testdata;
    const auto small = MakeBitmap(6, 2, 24);
    const auto packet = MakeBrandPacket(kTitle, kCompany, kAddin, small);
    Write(dir, "packet.bin", packet);
    Write(dir, "brand.dat", ZipContainer(packet, std::string_view("Brand")));
    Write(dir, "brand-without-text.dat", ZipContainer(packet, std::nullopt));
    Write(dir, "bitmap24.bmp", small);
    Write(dir, "bitmap8.bmp", MakeBitmap(3, -2, 8));

    // Two rows, the first a NULL-bearing one; a wide string field.
    const std::vector<PacketFieldDef> fields{{"a10", PacketFieldType::String, 300},
                                             {"d3", PacketFieldType::Blob, 0},
                                             {"a16", PacketFieldType::String, 20}};
    const std::vector<PacketRow> rows{{std::nullopt, "xy", "company"}, {"title", std::nullopt, std::nullopt}};
    Write(dir, "rows.bin", WriteDataPacket(fields, rows));
    return 0;
}
