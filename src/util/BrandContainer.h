#pragma once
// The compressed container of the product-information file: one zlib stream
// whose inflated content is
//   i32 Marker, i32 PayloadLength, [i32 TextLength, header text], payload
// (little-endian). TextLength and the header text are present only when
// Marker is kHeaderTextMarker. Portable: no windows.h.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

constexpr std::int32_t kHeaderTextMarker = 1234567890;
// The payload passes through a buffer of this size, whatever its length.
constexpr std::size_t kContainerChunkSize = 102400;
// The largest header text a container may carry.
constexpr std::int32_t kMaxHeaderTextLength = 102401;

using ChunkSink = std::function<void(std::span<const std::uint8_t>)>;

// Inflates the container in source and hands its payload to sink in chunks of
// at most kContainerChunkSize bytes. headerText receives the header text up to
// its first NUL byte (empty when the container has none); it is emptied first.
// Throws DecompressionError for damaged zlib data and ContainerError when the
// inflated content does not hold the layout it announces.
void UnzipContainer(std::span<const std::uint8_t> source, std::string& headerText, const ChunkSink& sink);

// The same, collecting the payload.
std::vector<std::uint8_t> UnzipContainer(std::span<const std::uint8_t> source, std::string& headerText);

// Builds a container around payload; with a header text, the marker and
// TextLength are written too. Throws ContainerError when the header text or
// the payload is too long for the layout.
std::vector<std::uint8_t> ZipContainer(std::span<const std::uint8_t> payload,
                                       std::optional<std::string_view> headerText);

// A zlib stream of raw (for building containers of any content in tests).
std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> raw);
