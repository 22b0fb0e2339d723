// libFuzzer target: every input is read as a Brand.dat container (and its
// payload as a data packet), as a data packet and as a bitmap, with the field
// lookups the launcher makes. Only the readers' own errors are expected;
// anything else (a crash, a sanitizer report, another exception) is a finding.

#include "util/BitmapInfo.h"
#include "util/BrandContainer.h"
#include "util/DataPacket.h"
#include "util/Errors.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace {

void ReadPacket(std::vector<std::uint8_t> bytes)
{
    try {
        const DataPacket packet(std::move(bytes));
        for (const char* name : {"a10", "A16", "a18"}) {
            try {
                packet.IsNull(name);
                packet.Text(name);
            } catch (const DataPacketError&) {
            }
        }
        for (const PacketField& field : packet.Fields()) {
            try {
                packet.Bytes(field.name);
            } catch (const DataPacketError&) {
            }
        }
        ValidateBitmap(packet.Bytes("d3"));
    } catch (const DataPacketError&) {
    } catch (const BitmapError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> input(data, size);
    try {
        std::string headerText;
        ReadPacket(UnzipContainer(input, headerText));
    } catch (const DecompressionError&) {
    } catch (const ContainerError&) {
    }
    ReadPacket(std::vector<std::uint8_t>(input.begin(), input.end()));
    try {
        ValidateBitmap(input);
    } catch (const BitmapError&) {
    }
    return 0;
}
