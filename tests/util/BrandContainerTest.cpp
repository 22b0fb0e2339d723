#include "util/BrandContainer.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutInt32(Bytes& out, std::int32_t value)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i)));
}

Bytes Pattern(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return bytes;
}

// Inflated content laid out by hand: marker, payload length, optional text
// length and text, then whatever bytes follow.
Bytes Content(std::int32_t marker, std::int32_t payloadLength, std::optional<std::int32_t> textLength = std::nullopt,
              std::string_view rest = {})
{
    Bytes raw;
    PutInt32(raw, marker);
    PutInt32(raw, payloadLength);
    if (textLength) PutInt32(raw, *textLength);
    raw.insert(raw.end(), rest.begin(), rest.end());
    return raw;
}

struct Unzipped {
    Bytes payload;
    std::string headerText;
    std::vector<std::size_t> chunks;
};

Unzipped Unzip(const Bytes& container)
{
    Unzipped result;
    result.headerText = "left over from an earlier call";
    UnzipContainer(container, result.headerText, [&result](std::span<const std::uint8_t> chunk) {
        result.chunks.push_back(chunk.size());
        result.payload.insert(result.payload.end(), chunk.begin(), chunk.end());
    });
    return result;
}

TEST(Container, RoundTripsPayloadWithAndWithoutHeaderText)
{
    const Bytes payload = Pattern(5000);
    for (std::optional<std::string_view> text : {std::optional<std::string_view>(), std::optional<std::string_view>(""),
                                                 std::optional<std::string_view>("Brand V3.4")}) {
        const Unzipped out = Unzip(ZipContainer(payload, text));
        EXPECT_EQ(out.payload, payload);
        EXPECT_EQ(out.headerText, text.value_or(""));
    }
}

TEST(Container, HeaderTextEndsAtNulButPayloadFollowsAllOfIt)
{
    const Unzipped out = Unzip(Deflate(Content(kHeaderTextMarker, 3, 5, std::string_view("ab\0cdXYZ", 8))));
    EXPECT_EQ(out.headerText, "ab");
    EXPECT_EQ(out.payload, (Bytes{'X', 'Y', 'Z'}));
}

TEST(Container, OtherMarkerMeansNoHeaderText)
{
    const Unzipped out = Unzip(Deflate(Content(kHeaderTextMarker + 1, 4, std::nullopt, "DATA")));
    EXPECT_EQ(out.headerText, "");
    EXPECT_EQ(out.payload, (Bytes{'D', 'A', 'T', 'A'}));
}

TEST(Container, LargestHeaderTextIsAccepted)
{
    const std::string text(kMaxHeaderTextLength, 'h');
    EXPECT_EQ(Unzip(ZipContainer(Pattern(10), std::string_view(text))).headerText, text);
    EXPECT_THROW(ZipContainer(Pattern(10), std::string_view(text + "h")), ContainerError);
}

TEST(Container, PayloadPassesInChunksOf102400Bytes)
{
    struct Case {
        std::size_t size;
        std::vector<std::size_t> chunks;
    };
    for (const Case& c : {Case{0, {}}, Case{1, {1}}, Case{102400, {102400}}, Case{102401, {102400, 1}},
                          Case{250000, {102400, 102400, 45200}}}) {
        const Bytes payload = Pattern(c.size);
        const Unzipped out = Unzip(ZipContainer(payload, std::nullopt));
        EXPECT_EQ(out.chunks, c.chunks) << c.size;
        EXPECT_EQ(out.payload, payload) << c.size;
    }
}

TEST(Container, ZeroOrNegativePayloadLengthGivesEmptyPayloadAndIgnoresTheRest)
{
    for (std::int32_t length : {0, -1, INT_MIN}) {
        std::string text;
        EXPECT_TRUE(UnzipContainer(Deflate(Content(0, length, std::nullopt, "trailing bytes")), text).empty());
    }
}

TEST(Container, BytesAfterThePayloadAreNotRead)
{
    std::string text;
    EXPECT_EQ(UnzipContainer(Deflate(Content(0, 2, std::nullopt, "OKmore")), text), (Bytes{'O', 'K'}));
}

TEST(Container, DamagedZlibDataRaisesError)
{
    Bytes damaged = ZipContainer(Pattern(20000), std::string_view("text"));
    damaged[damaged.size() / 2] ^= 0xFF;
    damaged[damaged.size() / 2 + 1] ^= 0x55;
    Bytes badChecksum = ZipContainer(Pattern(100), std::nullopt);
    badChecksum.back() ^= 1;
    for (const Bytes& source : {Bytes{'n', 'o', 't', ' ', 'z', 'l', 'i', 'b'}, Bytes{0x78, 0x9C, 0xFF, 0xFF, 0xFF},
                                damaged, badChecksum}) {
        std::string text;
        try {
            UnzipContainer(source, text);
            ADD_FAILURE() << "no error for " << source.size() << " bytes";
        } catch (const DecompressionError& e) {
            EXPECT_STREQ(e.what(), "Error");
        }
    }
}

TEST(Container, ContentShorterThanItsLayoutIsAContainerError)
{
    struct Case {
        const char* name;
        Bytes source;
        const char* message;
    };
    const Bytes whole = ZipContainer(Pattern(3000), std::string_view("header"));
    const char* const header = "The container ends inside its header";
    const Case cases[] = {
        {"empty source", {}, header},
        {"empty content", Deflate({}), header},
        {"marker only", Deflate(Bytes{1, 2, 3, 4}), header},
        {"seven bytes", Deflate(Bytes(7, 0)), header},
        {"no text length", Deflate(Content(kHeaderTextMarker, 1)), header},
        {"text cut", Deflate(Content(kHeaderTextMarker, 0, 10, "abcd")), "The container ends inside its header text"},
        {"payload cut", Deflate(Content(0, 100, std::nullopt, "fifty")), "The container ends before the end of its payload"},
        {"source cut", Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2)),
         "The container ends before the end of its payload"},
    };
    for (const Case& c : cases) {
        std::string text;
        try {
            UnzipContainer(c.source, text);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const ContainerError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.name;
        }
    }
}

TEST(Container, TextLengthOutOfRangeIsRefusedBeforeReading)
{
    for (std::int32_t length : {-1, INT_MIN, kMaxHeaderTextLength + 1, INT_MAX}) {
        std::string text;
        try {
            UnzipContainer(Deflate(Content(kHeaderTextMarker, 0, length, "short")), text);
            ADD_FAILURE() << length << ": no error";
        } catch (const ContainerError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "The container's header text length " + std::to_string(length) + " is out of range");
        }
    }
}

}  // namespace
