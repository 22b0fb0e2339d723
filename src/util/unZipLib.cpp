#include "util/unZipLib.h"

#include "util/BrandContainer.h"
#include "util/Errors.h"

#include <algorithm>
#include <climits>
#include <vector>

std::string UnzipHeaderText;

namespace {

void Check(HRESULT hr, const char* what)
{
    if (FAILED(hr)) throw SystemError(what, static_cast<unsigned long>(hr));
}

void SeekTo(IStream* stream, ULONGLONG position)
{
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(position);
    Check(stream->Seek(to, STREAM_SEEK_SET, nullptr), "Could not position a memory stream");
}

ULONGLONG StreamSize(IStream* stream)
{
    STATSTG stat{};
    Check(stream->Stat(&stat, STATFLAG_NONAME), "Could not read the size of a memory stream");
    return stat.cbSize.QuadPart;
}

void WriteAll(IStream* stream, const BYTE* data, std::size_t size)
{
    while (size > 0) {
        const ULONG part = static_cast<ULONG>(std::min<std::size_t>(size, ULONG_MAX));
        ULONG written = 0;
        Check(stream->Write(data, part, &written), "Could not write a memory stream");
        if (written != part) throw SystemError("Could not write a memory stream", static_cast<unsigned long>(STG_E_MEDIUMFULL));
        data += part;
        size -= part;
    }
}

void ReadAll(IStream* stream, BYTE* data, ULONG size)
{
    if (size == 0) return;  // an empty array may have no data pointer
    ULONG read = 0;
    Check(stream->Read(data, size, &read), "Could not read a memory stream");
    if (read != size) throw SystemError("A memory stream ended early", static_cast<unsigned long>(E_FAIL));
}

// The size of a stream that a byte array (and one read call) can hold.
ULONG ByteArraySize(IStream* stream)
{
    const ULONGLONG size = StreamSize(stream);
    if (size > static_cast<ULONGLONG>(LONG_MAX)) throw LauncherError("The data is too large for a byte array");
    return static_cast<ULONG>(size);
}

SAFEARRAY* ByteArrayOf(const VARIANT& data)
{
    if (V_VT(&data) != (VT_ARRAY | VT_UI1) || !V_ARRAY(&data) || ::SafeArrayGetDim(V_ARRAY(&data)) != 1)
        throw LauncherError("The data is not a byte array");
    return V_ARRAY(&data);
}

}  // namespace

ComRef<IStream> CreateMemoryStream()
{
    ComRef<IStream> stream;
    Check(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), "Could not create a memory stream");
    return stream;
}

void UnzipStream(IStream* source, IStream* dest)
{
    UnzipHeaderText.clear();
    SeekTo(dest, 0);
    SeekTo(source, 0);
    std::vector<std::uint8_t> compressed(ByteArraySize(source));
    ReadAll(source, compressed.data(), static_cast<ULONG>(compressed.size()));
    UnzipContainer(compressed, UnzipHeaderText,
                   [dest](std::span<const std::uint8_t> chunk) { WriteAll(dest, chunk.data(), chunk.size()); });
}

Variant UnzipVariant(const VARIANT& data)
{
    const ComRef<IStream> packed = CreateMemoryStream();
    VariantToStream(data, packed.get());
    const ComRef<IStream> unpacked = CreateMemoryStream();
    UnzipStream(packed.get(), unpacked.get());
    return StreamToVariant(unpacked.get());
}

void VariantToStream(const VARIANT& data, IStream* stream)
{
    SAFEARRAY* array = ByteArrayOf(data);
    LONG lower = 0, upper = -1;
    Check(::SafeArrayGetLBound(array, 1, &lower), "Could not read the bounds of a byte array");
    Check(::SafeArrayGetUBound(array, 1, &upper), "Could not read the bounds of a byte array");
    // The element count, whatever the lower bound: never more than the array holds.
    const LONGLONG count = static_cast<LONGLONG>(upper) - lower + 1;
    const SafeArrayAccess access(array);
    if (!access) throw LauncherError("Could not lock a byte array");
    SeekTo(stream, 0);
    WriteAll(stream, static_cast<const BYTE*>(access.data()), count > 0 ? static_cast<std::size_t>(count) : 0);
    SeekTo(stream, 0);
}

Variant StreamToVariant(IStream* stream)
{
    const ULONG size = ByteArraySize(stream);
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, size);
    if (!array) throw SystemError("Out of memory for a byte array", static_cast<unsigned long>(E_OUTOFMEMORY));
    Variant result;
    VARIANT* v = result.put();
    V_VT(v) = VT_ARRAY | VT_UI1;
    V_ARRAY(v) = array;
    const SafeArrayAccess access(array);
    if (!access) throw LauncherError("Could not lock a byte array");
    SeekTo(stream, 0);
    ReadAll(stream, static_cast<BYTE*>(access.data()), size);
    return result;
}
