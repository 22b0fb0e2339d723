#pragma once
// The product-information container on memory streams and byte-array
// variants (a VT_UI1 safe array of one dimension indexed from 0), over the
// portable reader in BrandContainer.h.

#include "util/WinHandles.h"

#include <objidl.h>
#include <string>

// The header text of the last container read; empty when it had none.
extern std::string UnzipHeaderText;

// A new, empty memory stream.
ComRef<IStream> CreateMemoryStream();

// Inflates the container in source into dest from position 0; dest is left
// positioned after the payload. Damaged zlib data throws DecompressionError,
// a damaged layout ContainerError.
void UnzipStream(IStream* source, IStream* dest);

// The payload of the container held in a byte-array variant.
Variant UnzipVariant(const VARIANT& data);

// Writes the bytes of a byte-array variant into stream from position 0 and
// leaves it positioned at 0.
void VariantToStream(const VARIANT& data, IStream* stream);

// The whole stream as a byte-array variant.
Variant StreamToVariant(IStream* stream);
