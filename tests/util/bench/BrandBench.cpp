// The whole decode of a shipping-size Brand.dat (inflate, parse, the four
// field lookups) next to plain zlib inflation of the same stream into a
// buffer that is already there.

#include "util/BrandContainer.h"
#include "util/DataPacket.h"

#include "TestData.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

namespace {

const std::vector<std::uint8_t>& BrandFile()
{
    static const std::vector<std::uint8_t> file = testdata::MakeBrandFile();
    return file;
}

void DecodeBrandFile(benchmark::State& state)
{
    for (auto _ : state) {
        std::string headerText;
        const DataPacket packet(UnzipContainer(BrandFile(), headerText));
        std::string title = packet.Text("a10"), company = packet.Text("a16"), addin = packet.Text("a18");
        auto banner = packet.Bytes("d3");
        benchmark::DoNotOptimize(title);
        benchmark::DoNotOptimize(company);
        benchmark::DoNotOptimize(addin);
        benchmark::DoNotOptimize(banner);
    }
    state.SetLabel(std::to_string(BrandFile().size()) + " bytes compressed");
}

void PlainInflate(benchmark::State& state)
{
    std::vector<std::uint8_t> out(1 << 20);
    for (auto _ : state) {
        uLongf size = static_cast<uLongf>(out.size());
        if (uncompress(out.data(), &size, BrandFile().data(), static_cast<uLong>(BrandFile().size())) != Z_OK)
            state.SkipWithError("inflate failed");
        benchmark::DoNotOptimize(out.data());
    }
}

BENCHMARK(DecodeBrandFile);
BENCHMARK(PlainInflate);

}  // namespace

BENCHMARK_MAIN();
