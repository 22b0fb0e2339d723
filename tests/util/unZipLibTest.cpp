#include "util/unZipLib.h"

#include "util/BrandContainer.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Variant ByteArray(const Bytes& bytes, LONG lowerBound = 0)
{
    SAFEARRAYBOUND bound{static_cast<ULONG>(bytes.size()), lowerBound};
    SAFEARRAY* array = ::SafeArrayCreate(VT_UI1, 1, &bound);
    void* data = nullptr;
    ::SafeArrayAccessData(array, &data);
    std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(data));
    ::SafeArrayUnaccessData(array);
    Variant v;
    VARIANT* raw = v.put();
    V_VT(raw) = VT_ARRAY | VT_UI1;
    V_ARRAY(raw) = array;
    return v;
}

Bytes BytesOf(const Variant& v)
{
    EXPECT_EQ(V_VT(&v.get()), VT_ARRAY | VT_UI1);
    SAFEARRAY* array = V_ARRAY(&v.get());
    EXPECT_EQ(::SafeArrayGetDim(array), 1u);
    LONG lower = -1, upper = -2;
    ::SafeArrayGetLBound(array, 1, &lower);
    ::SafeArrayGetUBound(array, 1, &upper);
    EXPECT_EQ(lower, 0);
    const SafeArrayAccess access(array);
    const auto* data = static_cast<const std::uint8_t*>(access.data());
    return Bytes(data, data + (upper + 1));
}

Bytes StreamBytes(IStream* stream, ULONGLONG* position = nullptr)
{
    LARGE_INTEGER zero{};
    ULARGE_INTEGER pos{};
    stream->Seek(zero, STREAM_SEEK_CUR, &pos);
    if (position) *position = pos.QuadPart;
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    Bytes bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    if (!bytes.empty()) stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    return bytes;
}

Bytes Pattern(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i % 253);
    return bytes;
}

TEST(unZipLib, StreamAndVariantConvertBothWays)
{
    for (std::size_t size : {0u, 1u, 70000u}) {
        const Bytes bytes = Pattern(size);
        const ComRef<IStream> stream = CreateMemoryStream();
        VariantToStream(ByteArray(bytes).get(), stream.get());
        ULONGLONG position = 99;
        EXPECT_EQ(StreamBytes(stream.get(), &position), bytes);
        EXPECT_EQ(position, 0u);
        EXPECT_EQ(BytesOf(StreamToVariant(stream.get())), bytes) << size;
    }
}

TEST(unZipLib, ArrayWithOtherLowerBoundWritesItsElements)
{
    const ComRef<IStream> stream = CreateMemoryStream();
    VariantToStream(ByteArray(Pattern(10), 5).get(), stream.get());
    EXPECT_EQ(StreamBytes(stream.get()), Pattern(10));
}

TEST(unZipLib, NonArrayVariantIsRefused)
{
    Variant number;
    V_VT(number.put()) = VT_I4;
    const ComRef<IStream> stream = CreateMemoryStream();
    EXPECT_THROW(VariantToStream(number.get(), stream.get()), LauncherError);
}

TEST(unZipLib, UnzipVariantGivesPayloadAndHeaderText)
{
    for (std::size_t size : {0u, 102400u, 102401u}) {
        const Bytes payload = Pattern(size);
        const Variant result = UnzipVariant(ByteArray(ZipContainer(payload, std::string_view("Brand"))).get());
        EXPECT_EQ(BytesOf(result), payload);
        EXPECT_EQ(UnzipHeaderText, "Brand");
    }
    UnzipVariant(ByteArray(ZipContainer(Pattern(5), std::nullopt)).get());
    EXPECT_EQ(UnzipHeaderText, "");
}

TEST(unZipLib, UnzipStreamReadsFromTheStartAndLeavesDestAfterPayload)
{
    const Bytes payload = Pattern(3000);
    const ComRef<IStream> source = CreateMemoryStream();
    VariantToStream(ByteArray(ZipContainer(payload, std::nullopt)).get(), source.get());
    LARGE_INTEGER end{};
    source->Seek(end, STREAM_SEEK_END, nullptr);
    const ComRef<IStream> dest = CreateMemoryStream();
    UnzipStream(source.get(), dest.get());
    ULONGLONG position = 0;
    EXPECT_EQ(StreamBytes(dest.get(), &position), payload);
    EXPECT_EQ(position, payload.size());
}

TEST(unZipLib, DamagedDataRaisesErrorsThroughTheVariantLayer)
{
    UnzipHeaderText = "stale";
    try {
        UnzipVariant(ByteArray({'n', 'o', 't', ' ', 'z', 'l', 'i', 'b'}).get());
        ADD_FAILURE() << "no error";
    } catch (const DecompressionError& e) {
        EXPECT_STREQ(e.what(), "Error");
    }
    EXPECT_EQ(UnzipHeaderText, "");
    const Bytes cut = Deflate(Bytes{0xD2, 0x02, 0x96, 0x49, 10, 0, 0, 0});
    EXPECT_THROW(UnzipVariant(ByteArray(cut).get()), ContainerError);
}

}  // namespace
