#include "util/BrandContainer.h"

#include "util/Errors.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

// An inflating reader over a zlib stream held in memory.
class Inflater {
public:
    explicit Inflater(std::span<const std::uint8_t> source)
    {
        stream_.next_in = const_cast<Bytef*>(source.data());
        stream_.avail_in = static_cast<uInt>(std::min<std::size_t>(source.size(), std::numeric_limits<uInt>::max()));
        if (inflateInit(&stream_) != Z_OK) throw DecompressionError();
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    ~Inflater() { inflateEnd(&stream_); }

    // Inflates up to size bytes into dest; fewer only when the stream (or the
    // source) ends first. Damaged data throws.
    std::size_t Read(std::uint8_t* dest, std::size_t size)
    {
        stream_.next_out = dest;
        stream_.avail_out = static_cast<uInt>(size);
        while (stream_.avail_out > 0 && !ended_) {
            const int rc = inflate(&stream_, Z_NO_FLUSH);
            if (rc == Z_STREAM_END) {
                ended_ = true;
            } else if (rc == Z_BUF_ERROR) {
                break;  // the source ran out before the stream's end
            } else if (rc != Z_OK) {
                throw DecompressionError();
            }
        }
        return size - stream_.avail_out;
    }

    // Inflates exactly size bytes or throws ContainerError(what).
    void ReadExactly(std::uint8_t* dest, std::size_t size, const char* what)
    {
        if (Read(dest, size) != size) throw ContainerError(what);
    }

    std::int32_t ReadInt32(const char* what)
    {
        std::uint8_t b[4];
        ReadExactly(b, sizeof b, what);
        return static_cast<std::int32_t>(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
                                         std::uint32_t(b[3]) << 24);
    }

private:
    z_stream stream_{};
    bool ended_ = false;
};

void AppendInt32(std::vector<std::uint8_t>& out, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

}  // namespace

void UnzipContainer(std::span<const std::uint8_t> source, std::string& headerText, const ChunkSink& sink)
{
    headerText.clear();
    Inflater reader(source);
    const char* const shortHeader = "The container ends inside its header";
    const std::int32_t marker = reader.ReadInt32(shortHeader);
    const std::int32_t payloadLength = reader.ReadInt32(shortHeader);
    if (marker == kHeaderTextMarker) {
        const std::int32_t textLength = reader.ReadInt32(shortHeader);
        if (textLength < 0 || textLength > kMaxHeaderTextLength)
            throw ContainerError("The container's header text length " + std::to_string(textLength) +
                                 " is out of range");
        std::string text(static_cast<std::size_t>(textLength), '\0');
        reader.ReadExactly(reinterpret_cast<std::uint8_t*>(text.data()), text.size(),
                           "The container ends inside its header text");
        text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
        headerText = std::move(text);
    }
    const auto chunk = std::make_unique<std::uint8_t[]>(kContainerChunkSize);
    for (std::int32_t offset = 0; offset < payloadLength;) {
        const auto k = static_cast<std::size_t>(std::min<std::int64_t>(payloadLength - std::int64_t{offset},
                                                                       std::int64_t{kContainerChunkSize}));
        reader.ReadExactly(chunk.get(), k, "The container ends before the end of its payload");
        sink(std::span<const std::uint8_t>(chunk.get(), k));
        offset += static_cast<std::int32_t>(k);
    }
}

std::vector<std::uint8_t> UnzipContainer(std::span<const std::uint8_t> source, std::string& headerText)
{
    std::vector<std::uint8_t> payload;
    UnzipContainer(source, headerText, [&payload](std::span<const std::uint8_t> chunk) {
        payload.insert(payload.end(), chunk.begin(), chunk.end());
    });
    return payload;
}

std::vector<std::uint8_t> ZipContainer(std::span<const std::uint8_t> payload,
                                       std::optional<std::string_view> headerText)
{
    if (payload.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw ContainerError("The payload is too large for a container");
    std::vector<std::uint8_t> raw;
    raw.reserve(12 + (headerText ? headerText->size() : 0) + payload.size());
    AppendInt32(raw, headerText ? kHeaderTextMarker : 0);
    AppendInt32(raw, static_cast<std::int32_t>(payload.size()));
    if (headerText) {
        if (headerText->size() > static_cast<std::size_t>(kMaxHeaderTextLength))
            throw ContainerError("The header text is longer than " + std::to_string(kMaxHeaderTextLength) + " bytes");
        AppendInt32(raw, static_cast<std::int32_t>(headerText->size()));
        raw.insert(raw.end(), headerText->begin(), headerText->end());
    }
    raw.insert(raw.end(), payload.begin(), payload.end());
    return Deflate(raw);
}

std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> raw)
{
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw ContainerError("The container could not be compressed");
    out.resize(size);
    return out;
}
