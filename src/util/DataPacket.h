#pragma once
// The client data set's binary data packet: a reader that finds the first
// visible record and gives its fields by name, and a writer of one-table
// packets with string and blob fields. Portable: no windows.h.
//
// Layout (little-endian, no padding): a 24-byte header; the field
// descriptors, each followed by its optional parameters; the data-set
// parameters; the rows, each a status byte, two blank bits per field and the
// values of the fields that are not blank.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct PacketField {
    std::string name;
    std::uint32_t typeWord = 0;   // size bits, type code and flags
    std::uint16_t attributes = 0; // hidden, read-only, required, link
};

// A parsed packet; it keeps the packet's bytes. Every error is a
// DataPacketError whose message says what is wrong.
class DataPacket {
public:
    explicit DataPacket(std::vector<std::uint8_t> bytes);
    DataPacket(DataPacket&&) = default;  // the values stay where they are
    DataPacket& operator=(DataPacket&&) = default;
    DataPacket(const DataPacket&) = delete;
    DataPacket& operator=(const DataPacket&) = delete;

    const std::vector<PacketField>& Fields() const { return fields_; }

    // The stored bytes of a text field of the first visible record, up to the
    // first NUL; an empty text when the field is NULL (as the platform reads it).
    std::string Text(std::string_view name) const;
    // The bytes of a binary field (blob, bytes, var bytes) of that record.
    std::span<const std::uint8_t> Bytes(std::string_view name) const;
    bool IsNull(std::string_view name) const;

    // How a field of the record is stored. Unreadable: an earlier field's
    // value could not be skipped, so this one cannot be found.
    enum class ValueState : std::uint8_t { Present, Null, NotChanged, NotFetched, Unreadable };
    struct Value {
        ValueState state = ValueState::Unreadable;
        std::span<const std::uint8_t> bytes;
    };

private:
    std::size_t FindField(std::string_view name) const;
    const Value& ValueOf(std::size_t field) const;

    std::vector<std::uint8_t> bytes_;
    std::vector<PacketField> fields_;
    std::vector<Value> record_;      // the first visible record, one value per field
    std::size_t unreadableFrom_ = 0; // the field whose value could not be skipped
};

// The writer's field kinds: a string (ZSTRING with WIDTH) or a binary blob.
enum class PacketFieldType { String, Blob };

struct PacketFieldDef {
    std::string name;
    PacketFieldType type = PacketFieldType::String;
    std::uint16_t width = 0;  // strings only: the largest value in bytes
};

// One row: a value per field, as bytes; nullopt writes NULL.
using PacketRow = std::vector<std::optional<std::string>>;

// Writes a packet as the client data set saves one: version 1.0, one WIDTH
// parameter (UINT 2) per string, SUBTYPE "Binary" per blob, no change log,
// every row unmodified. Throws DataPacketError for values that do not fit.
std::vector<std::uint8_t> WriteDataPacket(std::span<const PacketFieldDef> fields, std::span<const PacketRow> rows);
