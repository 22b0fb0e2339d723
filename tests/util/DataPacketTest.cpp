#include "util/BitmapInfo.h"
#include "util/DataPacket.h"
#include "util/Errors.h"

#include "TestData.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(std::string_view hex)
{
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(std::string(hex.substr(i, 2)), nullptr, 16)));
    return bytes;
}

// The worked example of the packet format notes: a10 "ProductX", a16 "1.0",
// a18 "ACME", d3 a 58-byte 1 x 1 24-bit bitmap.
const Bytes kExample = FromHex(
    "9619E0BD01000000180000000400010000000300000082000361313001004900"
    "0000010005574944544802000200640003613136010049000000010005574944"
    "5448020002006400036131380100490000000100055749445448020002003200"
    "02643304004B0000000100075355425459504502004900070042696E61727900"
    "000000000850726F647563745803312E300441434D453A000000424D3A000000"
    "0000000036000000280000000100000001000000010018000000000004000000"
    "000000000000000000000000000000000000FF00");
constexpr std::size_t kRowStart = 130, kBitmap = 131, kA16Value = 141, kD3Length = 150;

Bytes Patched(Bytes bytes, std::size_t at, std::initializer_list<std::uint8_t> with)
{
    std::copy(with.begin(), with.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    return bytes;
}

Bytes Replaced(const Bytes& bytes, std::size_t at, std::size_t count, const Bytes& with)
{
    Bytes out(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    out.insert(out.end(), with.begin(), with.end());
    out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at + count), bytes.end());
    return out;
}

// Without the data offset check, so that descriptors may change size.
Bytes WithoutDataOffset(Bytes bytes) { return Patched(std::move(bytes), 18, {1, 0, 0, 0, 0, 0}); }

std::string ErrorOf(const Bytes& packet, std::string_view field = "a10", bool asBytes = false)
{
    try {
        const DataPacket p(packet);
        if (asBytes)
            p.Bytes(field);
        else
            p.Text(field);
    } catch (const DataPacketError& e) {
        return e.what();
    }
    return "no error";
}

TEST(DataPacket, ReadsTheWorkedExample)
{
    const DataPacket packet(kExample);
    EXPECT_EQ(packet.Text("a10"), "ProductX");
    EXPECT_EQ(packet.Text("a16"), "1.0");
    EXPECT_EQ(packet.Text("a18"), "ACME");
    const auto banner = packet.Bytes("d3");
    ASSERT_EQ(banner.size(), 58u);
    const BitmapInfo info = ValidateBitmap(banner);
    EXPECT_EQ(info.width, 1);
    EXPECT_EQ(info.height, 1);
    EXPECT_EQ(info.bits, 24);
    EXPECT_EQ(info.bytes, 58u);
    EXPECT_EQ(packet.Text("A10"), "ProductX") << "names are matched without regard to case";
}

TEST(DataPacket, WriterProducesTheWorkedExample)
{
    const Bytes bmp(kExample.begin() + kD3Length + 4, kExample.end());
    const PacketRow row{"ProductX", "1.0", "ACME", std::string(bmp.begin(), bmp.end())};
    EXPECT_EQ(WriteDataPacket(testdata::BrandFields(), std::span<const PacketRow>(&row, 1)), kExample);
}

TEST(DataPacket, ReadsTheVariantsOtherWritersProduce)
{
    // WIDTH as INT 4, as provider-built packets carry it.
    const Bytes intWidth = WithoutDataOffset(
        Replaced(kExample, 36, 12, FromHex("0557494454480400010064000000")));
    EXPECT_EQ(DataPacket(intWidth).Text("a10"), "ProductX");
    // An empty a16 saved as one NUL byte; a NULL a16.
    EXPECT_EQ(DataPacket(Replaced(kExample, kA16Value, 4, {1, 0})).Text("a16"), "");
    const Bytes nullA16 = Patched(Replaced(kExample, kA16Value, 4, {}), kBitmap, {0x04});
    const DataPacket withNull(nullA16);
    EXPECT_TRUE(withNull.IsNull("a16"));
    EXPECT_EQ(withNull.Text("a16"), "") << "a NULL text reads as empty, as the platform reads it";
    EXPECT_EQ(withNull.Text("a18"), "ACME");
    // Bytes after the last row are ignored.
    Bytes trailing = kExample;
    trailing.push_back(0xEE);
    EXPECT_EQ(DataPacket(trailing).Text("a18"), "ACME");
}

// A packet with one field of every kind a reader must step over, each with
// parameters, before the fields that are read; the first row is an original
// version (invisible), so the record is the second row.
TEST(DataPacket, SkipsEveryValueByItsTypeWord)
{
    Bytes p;
    auto u8 = [&p](std::uint32_t v) { testdata::PutLe(p, v, 1); };
    auto u16 = [&p](std::uint32_t v) { testdata::PutLe(p, v, 2); };
    auto u32 = [&p](std::uint32_t v) { testdata::PutLe(p, v, 4); };
    auto raw = [&p](std::string_view s) { p.insert(p.end(), s.begin(), s.end()); };
    auto name = [&](std::string_view s) { u8(static_cast<std::uint32_t>(s.size())); raw(s); };
    struct Field {
        const char* name;
        std::uint32_t type;
        std::string value;  // as stored in a row
    };
    const Field fields[] = {
        {"i64", 0x00010008, "12345678"},
        {"dbl", 0x00040008, "DOUBLE!!"},
        {"bool", 0x00030002, std::string("\1\0", 2)},
        {"ts", 0x00080008, "TIMESTMP"},
        {"sqlts", 0x00110010, "SQL TIMESTAMP 16"},
        {"uni", 0x004A0002, std::string("\4\0a\0b\0", 6)},
        {"varb", 0x004B0001, "\3xyz"},
        {"arr", 0x00820004, std::string("\2\0\0\0AAAABBBB", 12)},
        {"memo", 0x004B0004, std::string("\5\0\0\0hello", 9)},
        {"a10", 0x00490002, std::string("\x0B\0Wide prefix", 13)},
        {"fixed", 0x00090006, std::string("ab\0\0\0\0", 6)},
        {"d3", 0x004B0004, std::string("\2\0\0\0BM", 6)},
    };
    u32(0xBDE01996); u16(2); u16(0); u32(24); u16(std::size(fields)); u32(2); u32(1); u16(0);
    for (const Field& f : fields) {
        name(f.name); u32(f.type); u16(0x0004); u16(3);
        name("WIDTH"); u32(0x00010004); u32(40);
        name("FIELDPROPS"); u32(0x80800001); u32(3); raw("xyz");   // bytes array, include-in-delta bit
        name("SUBTYPE"); u32(0x00490002); u16(5); raw(std::string_view("Text\0", 5));
    }
    u16(2);  // data-set parameters: a change log and an LCID
    name("CHANGE_LOG"); u32(0x00820004); u32(3); u32(2); u32(1); u32(8);
    name("LCID"); u32(0x00020004); u32(2052);
    for (std::uint8_t status : {0x01, 0x08}) {
        u8(status); u8(0); u8(0); u8(0);  // 12 fields: 3 bitmap bytes, none blank
        for (const Field& f : fields) raw(status == 0x01 && std::string_view(f.name) == "a10"
                                              ? std::string("\x03\0old", 5) : f.value);
    }
    const DataPacket packet(p);
    EXPECT_EQ(packet.Fields().size(), std::size(fields));
    EXPECT_EQ(packet.Text("a10"), "Wide prefix");
    EXPECT_EQ(packet.Text("fixed"), "ab");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(packet.Bytes("d3").data()), 2), "BM");
    EXPECT_EQ(packet.Bytes("memo").size(), 5u);
}

TEST(DataPacket, ReportsEachKindOfDamage)
{
    struct Case {
        const char* name;
        Bytes packet;
        std::string message;
        const char* field = "a10";
        bool asBytes = false;
    };
    const std::string xml = R"(<?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0">)";
    const Bytes bigBlob = testdata::MakeBrandPacket("t", "c", "a", Bytes(50000, 0x42));
    const Case cases[] = {
        {"empty", {}, "Not a data packet"},
        {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}, "Not a data packet"},
        {"xml", Bytes(xml.begin(), xml.end()), "XML data packets are not supported"},
        {"xml with BOM", FromHex("EFBBBF0D0A3C44415441"), "XML data packets are not supported"},
        {"old magic", Patched(kExample, 0, {0xCD, 0xAB, 0, 0}), "Data packets of the old format are not supported"},
        {"version 4", Patched(kExample, 4, {4}), "Data packet version 4.0 is not supported"},
        {"minor 4", Patched(kExample, 6, {4}), "Data packet version 1.4 is not supported"},
        {"data only", Patched(kExample, 18, {2}), "Data packets without field descriptions are not supported"},
        {"xml body", Patched(kExample, 19, {0x80}), "XML data packets are not supported"},
        {"header size", Patched(kExample, 8, {12}), "The data packet is inconsistent: header size 12"},
        {"header too big", Patched(kExample, 8, {0xFF, 0xFF}), "The data packet is truncated"},
        {"data offset", Patched(kExample, 22, {131}), "The data packet is inconsistent: the rows start at 130, not at 131"},
        {"blank bits 11", Patched(kExample, kBitmap, {0x03}), "The data packet is inconsistent: field 'a10' has blank bits 11"},
        {"no name", WithoutDataOffset(Replaced(kExample, 24, 4, {0})), "The data packet is inconsistent: a field has no name"},
        {"nested table", Patched(kExample, 30, {0x4E}), "Field 'a10' has an unsupported type (0x004E0001)"},
        {"odd prefix", Patched(kExample, 42, {3, 0, 0x42}), "The data packet is inconsistent: parameter 'WIDTH' has a length prefix of 3 bytes"},
        {"deleted row", Patched(kExample, kRowStart, {0x02}), "The data packet has no record"},
        {"no rows", Patched(kExample, 14, {0}), "The data packet has no record"},
        {"two rows", Patched(kExample, 14, {2}), "The data packet is truncated"},
        {"2 GB blob", Patched(bigBlob, bigBlob.size() - 50004, {0xFF, 0xFF, 0xFF, 0x7F}), "The data packet is truncated", "d3", true},
        {"not fetched", Patched(kExample, kD3Length, {0x3A, 0, 0, 0x80}), "Field 'd3' was not fetched", "d3", true},
        {"BCD before", Patched(kExample, 54, {0x05}), "Field 'a16' has an unsupported type (0x00050001)", "a18"},
        {"missing", kExample, "Field 'a11' not found", "a11"},
        {"not text", kExample, "Field 'd3' is not a text field", "d3"},
        {"not bytes", kExample, "Field 'a10' is not a binary field", "a10", true},
        {"NULL blob", Patched(Replaced(kExample, kD3Length, 62, {}), kBitmap, {0x40}), "Field 'd3' is NULL", "d3", true},
        {"not changed", Patched(Replaced(kExample, kD3Length, 62, {}), kBitmap, {0x80}),
         "Field 'd3' refers to an earlier version of its record, which is not supported", "d3", true},
        {"two a10", WithoutDataOffset(Patched(kExample, 50, {'1', '0'})), "The data packet is inconsistent: two fields are named 'A10'", "A10"},
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.packet, c.field, c.asBytes), c.message) << c.name;
}

TEST(DataPacket, EveryTruncationIsRefused)
{
    for (std::size_t size = 0; size < kExample.size(); ++size) {
        const Bytes cut(kExample.begin(), kExample.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_THROW(DataPacket{cut}, DataPacketError) << size;
    }
}

TEST(DataPacket, WriterRoundTripsRowsNullsAndWideStrings)
{
    const std::vector<PacketFieldDef> fields{
        {"Name", PacketFieldType::String, 300},  // two-byte length prefix
        {"Blob", PacketFieldType::Blob},
        {"Note", PacketFieldType::String, 10},
    };
    const std::string longName(280, 'n');
    const std::vector<PacketRow> rows{{longName, std::nullopt, "note"}, {"second", "bytes", std::nullopt}};
    const DataPacket packet(WriteDataPacket(fields, rows));
    EXPECT_EQ(packet.Text("name"), longName);
    EXPECT_TRUE(packet.IsNull("blob"));
    EXPECT_EQ(packet.Text("note"), "note");

    const std::vector<PacketRow> tooLong{{"x", "y", "eleven bytes"}};
    EXPECT_THROW(WriteDataPacket(fields, tooLong), DataPacketError);
}

TEST(DataPacket, MetadataBeyond64KiBIsWrittenWithoutDataOffset)
{
    std::vector<PacketFieldDef> fields;
    for (int i = 0; i < 3500; ++i) fields.push_back({"field" + std::to_string(i), PacketFieldType::String, 10});
    PacketRow row(fields.size(), std::string("v"));
    row.back() = "last";
    const Bytes bytes = WriteDataPacket(fields, std::span<const PacketRow>(&row, 1));
    EXPECT_EQ(bytes[18], 1);  // metadata only, no offset
    EXPECT_EQ(DataPacket(bytes).Text("field3499"), "last");
}

}  // namespace
