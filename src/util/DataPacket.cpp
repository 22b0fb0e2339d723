#include "util/DataPacket.h"

#include "util/Errors.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

constexpr std::uint32_t kMagic = 0xBDE01996;
constexpr std::uint32_t kOldMagic = 0x0000ABCD;
constexpr std::size_t kHeaderSize = 24;
constexpr std::uint16_t kMaxVersion = 3;

constexpr std::uint32_t kFlagMetadata = 0x0001;
constexpr std::uint32_t kFlagDataOffset = 0x0002;
constexpr std::uint32_t kFlagXmlBody = 0x8000;

// Type word.
constexpr std::uint32_t kSizeBits = 0x0000FFFF;
constexpr std::uint32_t kVarying = 0x00400000;
constexpr std::uint32_t kArray = 0x00800000;
constexpr std::uint32_t kComposite = 0x01000000 | 0x02000000 | 0x04000000;  // pseudo, compressed, embedded
constexpr std::uint32_t kIncludeInDelta = 0x80000000;

enum TypeCode : std::uint32_t {
    tcUnknown = 0, tcInt = 1, tcUInt = 2, tcBool = 3, tcFloat = 4, tcBcd = 5, tcDate = 6, tcTime = 7,
    tcTimestamp = 8, tcZString = 9, tcUnicode = 10, tcBytes = 11, tcAdt = 12, tcArray = 13,
    tcEmbeddedTable = 14, tcRef = 15, tcDateTime = 17, tcDateTimeOffset = 36,
};

std::uint32_t TypeCodeOf(std::uint32_t typeWord) { return (typeWord >> 16) & 0x3F; }
std::uint32_t SizeBitsOf(std::uint32_t typeWord) { return typeWord & kSizeBits; }

// Row status bits that hide a row: original version, deleted, unused.
constexpr std::uint8_t kInvisibleRow = 0x23;
// Bit 31 of a 4-byte length: the blob was not fetched; no bytes follow.
constexpr std::uint32_t kNotFetched = 0x80000000;

[[noreturn]] void Truncated() { throw DataPacketError("The data packet is truncated"); }
[[noreturn]] void Inconsistent(const std::string& detail)
{
    throw DataPacketError("The data packet is inconsistent: " + detail);
}

std::string Hex32(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

[[noreturn]] void UnsupportedType(const PacketField& field)
{
    throw DataPacketError("Field '" + field.name + "' has an unsupported type (" + Hex32(field.typeWord) + ")");
}

// Sequential, bounds-checked reading of the packet.
class Cursor {
public:
    explicit Cursor(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return data_.size() - pos_; }

    std::span<const std::uint8_t> Take(std::uint64_t count)
    {
        if (count > Remaining()) Truncated();
        const auto part = data_.subspan(pos_, static_cast<std::size_t>(count));
        pos_ += static_cast<std::size_t>(count);
        return part;
    }
    std::uint32_t UInt(std::size_t width)
    {
        const auto bytes = Take(width);
        std::uint32_t value = 0;
        for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes[i];
        return value;
    }
    std::uint8_t U8() { return static_cast<std::uint8_t>(UInt(1)); }
    std::uint16_t U16() { return static_cast<std::uint16_t>(UInt(2)); }
    std::uint32_t U32() { return UInt(4); }
    std::string Name() { return AsString(Take(U8())); }

    static std::string AsString(std::span<const std::uint8_t> bytes)
    {
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

bool LooksLikeXml(std::span<const std::uint8_t> bytes)
{
    std::size_t i = 0;
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) ++i;
    return i < bytes.size() && bytes[i] == '<';
}

// The value of an optional parameter, by its type word (with flag bits masked).
void SkipParameterValue(Cursor& cursor, std::uint32_t typeWord, const std::string& name)
{
    typeWord &= ~(kIncludeInDelta | kComposite);
    const std::uint32_t size = SizeBitsOf(typeWord);
    if (typeWord & kArray) {
        cursor.Take(std::uint64_t{cursor.U32()} * size);
    } else if (typeWord & kVarying) {
        if (size != 1 && size != 2 && size != 4)
            Inconsistent("parameter '" + name + "' has a length prefix of " + std::to_string(size) + " bytes");
        cursor.Take(cursor.UInt(size));
    } else {
        cursor.Take(size);
    }
}

void SkipParameters(Cursor& cursor, std::uint16_t count)
{
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::string name = cursor.Name();
        SkipParameterValue(cursor, cursor.U32(), name);
    }
}

// The byte size of a fixed value of a field's type, or 0 when the type's size
// cannot be trusted (BCD, single, unknown codes and undocumented sizes).
std::uint32_t FixedValueSize(std::uint32_t typeWord)
{
    const std::uint32_t size = SizeBitsOf(typeWord);
    switch (TypeCodeOf(typeWord)) {
    case tcInt:
    case tcUInt: return size == 1 || size == 2 || size == 4 || size == 8 ? size : 0;
    case tcBool: return size == 1 || size == 2 || size == 4 ? size : 0;
    case tcFloat: return size == 8 || size == 10 ? size : 0;
    case tcDate:
    case tcTime: return size == 4 ? size : 0;
    case tcTimestamp: return size == 8 ? size : 0;
    case tcDateTime: return size == 16 ? size : 0;
    case tcDateTimeOffset: return size == 20 ? size : 0;
    case tcUnknown:
    case tcZString:
    case tcUnicode:
    case tcBytes: return size;
    default: return 0;
    }
}

// Reads one non-blank value. Returns false, consuming nothing, when the
// field's type does not tell how long the value is.
bool ReadValue(Cursor& cursor, std::uint32_t typeWord, DataPacket::Value& value)
{
    const std::uint32_t size = SizeBitsOf(typeWord);
    value.state = DataPacket::ValueState::Present;
    if (typeWord & kArray) {
        value.bytes = cursor.Take(std::uint64_t{cursor.U32()} * size);
    } else if (typeWord & kVarying) {
        if (size != 1 && size != 2 && size != 4) return false;
        const std::uint32_t length = cursor.UInt(size);
        if (size == 4 && (length & kNotFetched))
            value.state = DataPacket::ValueState::NotFetched;
        else
            value.bytes = cursor.Take(length);
    } else {
        if (FixedValueSize(typeWord) == 0) return false;
        value.bytes = cursor.Take(size);
    }
    return true;
}

PacketField ReadFieldDescriptor(Cursor& cursor)
{
    PacketField field;
    field.name = cursor.Name();
    if (field.name.empty()) Inconsistent("a field has no name");
    field.typeWord = cursor.U32() & ~kIncludeInDelta;  // a parameter's flag; meaningless here
    field.attributes = cursor.U16();
    SkipParameters(cursor, cursor.U16());
    // Nested tables, ADT, array and reference fields change the shape of the
    // rows themselves; the other types can at least be read past.
    const std::uint32_t code = TypeCodeOf(field.typeWord);
    if ((field.typeWord & kComposite) || (code >= tcAdt && code <= tcRef) ||
        ((field.typeWord & kVarying) && (field.typeWord & kArray)))
        UnsupportedType(field);
    return field;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

}  // namespace

DataPacket::DataPacket(std::vector<std::uint8_t> packet) : bytes_(std::move(packet))
{
    const std::span<const std::uint8_t> bytes(bytes_);
    Cursor cursor(bytes);
    if (bytes.size() < 4) {
        if (LooksLikeXml(bytes)) throw DataPacketError("XML data packets are not supported");
        throw DataPacketError("Not a data packet");
    }
    const std::uint32_t magic = cursor.U32();
    if (magic == kOldMagic) throw DataPacketError("Data packets of the old format are not supported");
    if (magic != kMagic) {
        if (LooksLikeXml(bytes)) throw DataPacketError("XML data packets are not supported");
        throw DataPacketError("Not a data packet");
    }
    const std::uint16_t major = cursor.U16();
    const std::uint16_t minor = cursor.U16();
    const std::uint32_t headerSize = cursor.U32();
    const std::uint16_t columnCount = cursor.U16();
    const std::uint32_t rowCount = cursor.U32();
    const std::uint32_t flags = cursor.U32();
    const std::uint16_t dataOffset = cursor.U16();
    if (major > kMaxVersion || minor > kMaxVersion)
        throw DataPacketError("Data packet version " + std::to_string(major) + "." + std::to_string(minor) +
                              " is not supported");
    if (!(flags & kFlagMetadata)) throw DataPacketError("Data packets without field descriptions are not supported");
    if (flags & kFlagXmlBody) throw DataPacketError("XML data packets are not supported");
    if (headerSize < kHeaderSize) Inconsistent("header size " + std::to_string(headerSize));
    cursor.Take(headerSize - kHeaderSize);

    // A descriptor takes at least 9 bytes: never reserve more than could be there.
    fields_.reserve(std::min<std::size_t>(columnCount, cursor.Remaining() / 9));
    for (std::uint16_t i = 0; i < columnCount; ++i) fields_.push_back(ReadFieldDescriptor(cursor));
    SkipParameters(cursor, cursor.U16());
    if ((flags & kFlagDataOffset) && cursor.Position() != dataOffset)
        Inconsistent("the rows start at " + std::to_string(cursor.Position()) + ", not at " +
                     std::to_string(dataOffset));

    // Rows in physical order; the first visible one is the record. The rows
    // after it are walked as well, so that a damaged packet is not taken for a
    // good one, until a value is met that cannot be skipped.
    const std::size_t bitmapSize = (fields_.size() + 3) / 4;
    bool found = false;
    std::vector<Value> row(fields_.size());
    for (std::uint32_t r = 0; r < rowCount; ++r) {
        const bool visible = (cursor.U8() & kInvisibleRow) == 0;
        const auto bitmap = cursor.Take(bitmapSize);
        const bool isRecord = visible && !found;
        for (std::size_t f = 0; f < fields_.size(); ++f) {
            Value& value = row[f];
            const unsigned blank = (bitmap[f / 4] >> (f % 4 * 2)) & 3;
            if (blank == 3) Inconsistent("field '" + fields_[f].name + "' has blank bits 11");
            value = Value{blank == 1 ? ValueState::Null : ValueState::NotChanged, {}};
            if (blank != 0 || ReadValue(cursor, fields_[f].typeWord, value)) continue;
            if (!found && !isRecord) UnsupportedType(fields_[f]);
            if (isRecord) {
                unreadableFrom_ = f;
                std::fill(row.begin() + static_cast<std::ptrdiff_t>(f), row.end(), Value{});
                record_ = std::move(row);
            }
            return;
        }
        if (isRecord) {
            record_ = row;
            found = true;
        }
    }
    if (!found) throw DataPacketError("The data packet has no record");
}

std::size_t DataPacket::FindField(std::string_view name) const
{
    std::size_t match = fields_.size();
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (!EqualsIgnoringAsciiCase(fields_[i].name, name)) continue;
        if (match != fields_.size()) Inconsistent("two fields are named '" + std::string(name) + "'");
        match = i;
    }
    if (match == fields_.size()) throw DataPacketError("Field '" + std::string(name) + "' not found");
    return match;
}

const DataPacket::Value& DataPacket::ValueOf(std::size_t field) const
{
    const Value& value = record_[field];
    const std::string& name = fields_[field].name;
    switch (value.state) {
    case ValueState::NotChanged:
        throw DataPacketError("Field '" + name + "' refers to an earlier version of its record, which is not supported");
    case ValueState::NotFetched: throw DataPacketError("Field '" + name + "' was not fetched");
    case ValueState::Unreadable: UnsupportedType(fields_[unreadableFrom_]);
    default: return value;
    }
}

bool DataPacket::IsNull(std::string_view name) const
{
    return ValueOf(FindField(name)).state == ValueState::Null;
}

std::string DataPacket::Text(std::string_view name) const
{
    const std::size_t field = FindField(name);
    if (TypeCodeOf(fields_[field].typeWord) != tcZString || (fields_[field].typeWord & kArray))
        throw DataPacketError("Field '" + fields_[field].name + "' is not a text field");
    const std::string text = Cursor::AsString(ValueOf(field).bytes);
    return text.substr(0, text.find('\0'));
}

std::span<const std::uint8_t> DataPacket::Bytes(std::string_view name) const
{
    const std::size_t field = FindField(name);
    if (TypeCodeOf(fields_[field].typeWord) != tcBytes || (fields_[field].typeWord & kArray))
        throw DataPacketError("Field '" + fields_[field].name + "' is not a binary field");
    const Value& value = ValueOf(field);
    if (value.state == ValueState::Null) throw DataPacketError("Field '" + fields_[field].name + "' is NULL");
    return value.bytes;
}

// ---------------------------------------------------------------------------
// Writer

namespace {

class PacketBuilder {
public:
    void U8(std::uint32_t v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
    void U16(std::uint32_t v) { UInt(v, 2); }
    void U32(std::uint32_t v) { UInt(v, 4); }
    void UInt(std::uint32_t v, int width)
    {
        for (int i = 0; i < width; ++i) U8(v >> (8 * i));
    }
    void Raw(std::string_view s) { bytes.insert(bytes.end(), s.begin(), s.end()); }
    void Name(std::string_view s)
    {
        U8(static_cast<std::uint32_t>(s.size()));
        Raw(s);
    }
    void Patch16(std::size_t at, std::uint32_t v)
    {
        bytes[at] = static_cast<std::uint8_t>(v);
        bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void Patch32(std::size_t at, std::uint32_t v)
    {
        Patch16(at, v & 0xFFFF);
        Patch16(at + 2, v >> 16);
    }

    std::vector<std::uint8_t> bytes;
};

constexpr std::uint32_t kBlobTypeWord = (tcBytes << 16) | kVarying | 4;     // 0x004B0004
constexpr std::uint32_t kWidthTypeWord = (tcUInt << 16) | 2;                 // 0x00020002
constexpr std::uint32_t kSubtypeTypeWord = (tcZString << 16) | kVarying | 2; // 0x00490002

std::uint32_t StringPrefixWidth(std::uint16_t width) { return width + 1 < 255 ? 1 : 2; }

void WriteDescriptor(PacketBuilder& out, const PacketFieldDef& field)
{
    if (field.name.empty() || field.name.size() > 255)
        throw DataPacketError("Field name '" + field.name + "' must have 1 to 255 bytes");
    out.Name(field.name);
    if (field.type == PacketFieldType::String) {
        if (field.width == 0) throw DataPacketError("Field '" + field.name + "' needs a width");
        out.U32((tcZString << 16) | kVarying | StringPrefixWidth(field.width));
        out.U16(0);  // attributes
        out.U16(1);  // parameters
        out.Name("WIDTH");
        out.U32(kWidthTypeWord);
        out.U16(field.width);
    } else {
        out.U32(kBlobTypeWord);
        out.U16(0);
        out.U16(1);
        out.Name("SUBTYPE");
        out.U32(kSubtypeTypeWord);
        constexpr std::string_view subtype("Binary\0", 7);
        out.U16(static_cast<std::uint32_t>(subtype.size()));
        out.Raw(subtype);
    }
}

void WriteRow(PacketBuilder& out, std::span<const PacketFieldDef> fields, const PacketRow& row)
{
    if (row.size() != fields.size())
        throw DataPacketError("A row has " + std::to_string(row.size()) + " values for " +
                              std::to_string(fields.size()) + " fields");
    out.U8(0);  // unmodified
    std::vector<std::uint8_t> bitmap((fields.size() + 3) / 4);
    for (std::size_t f = 0; f < fields.size(); ++f)
        if (!row[f]) bitmap[f / 4] |= static_cast<std::uint8_t>(1 << (f % 4 * 2));
    out.bytes.insert(out.bytes.end(), bitmap.begin(), bitmap.end());
    for (std::size_t f = 0; f < fields.size(); ++f) {
        if (!row[f]) continue;
        const std::string& value = *row[f];
        if (fields[f].type == PacketFieldType::String) {
            if (value.size() > fields[f].width)
                throw DataPacketError("The value of field '" + fields[f].name + "' is longer than its width " +
                                      std::to_string(fields[f].width));
            out.UInt(static_cast<std::uint32_t>(value.size()), static_cast<int>(StringPrefixWidth(fields[f].width)));
        } else {
            if (value.size() >= kNotFetched)
                throw DataPacketError("The value of field '" + fields[f].name + "' is too large");
            out.U32(static_cast<std::uint32_t>(value.size()));
        }
        out.Raw(value);
    }
}

}  // namespace

std::vector<std::uint8_t> WriteDataPacket(std::span<const PacketFieldDef> fields, std::span<const PacketRow> rows)
{
    if (fields.size() > std::numeric_limits<std::uint16_t>::max()) throw DataPacketError("Too many fields");
    if (rows.size() > std::numeric_limits<std::uint32_t>::max()) throw DataPacketError("Too many rows");
    PacketBuilder out;
    out.U32(kMagic);
    out.U16(1);  // version 1.0
    out.U16(0);
    out.U32(kHeaderSize);
    out.U16(static_cast<std::uint32_t>(fields.size()));
    out.U32(static_cast<std::uint32_t>(rows.size()));
    out.U32(0);  // flags and data offset, set below
    out.U16(0);
    for (const PacketFieldDef& field : fields) WriteDescriptor(out, field);
    out.U16(0);  // no data-set parameters
    const std::size_t rowsStart = out.bytes.size();
    if (rowsStart <= std::numeric_limits<std::uint16_t>::max()) {
        out.Patch32(18, kFlagMetadata | kFlagDataOffset);
        out.Patch16(22, static_cast<std::uint32_t>(rowsStart));
    } else {
        out.Patch32(18, kFlagMetadata);
    }
    for (const PacketRow& row : rows) WriteRow(out, fields, row);
    return std::move(out.bytes);
}
