// CRC-32 throughput: ours against zlib's, 16 KiB buffers (the largest reply payload is
// just over that). Prints both rates and the ratio.
#include "comm_protocol.h"
#include "crc32_internal.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

constexpr size_t kBufferBytes = 16 * 1024;

const std::vector<uint8_t> &buffer()
{
    static const std::vector<uint8_t> data = [] {
        std::vector<uint8_t> d(kBufferBytes);
        std::mt19937 rng(7);
        for (auto &b : d)
            b = uint8_t(rng());
        return d;
    }();
    return data;
}

void BM_Ours(benchmark::State &state)
{
    const auto &d = buffer();
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32Compute(d.data(), d.size()));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.size()));
}
BENCHMARK(BM_Ours);

// The table path alone, as used where carry-less multiplication is missing.
void BM_Table(benchmark::State &state)
{
    const auto &d = buffer();
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32Portable(d.data(), d.size()));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.size()));
}
BENCHMARK(BM_Table);

void BM_Zlib(benchmark::State &state)
{
    const auto &d = buffer();
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32(0L, d.data(), uInt(d.size())));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.size()));
}
BENCHMARK(BM_Zlib);

// Keeps the CPU time per iteration (steadier than wall time on a shared machine) of each benchmark
// for the closing comparison.
class RecordingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                nsPerIteration[r.benchmark_name()] = r.GetAdjustedCPUTime();
    }
    std::map<std::string, double> nsPerIteration;
};

} // namespace

int main(int argc, char **argv)
{
    if (crc32Compute("123456789", 9) != 0xCBF43926u) {
        std::fprintf(stderr, "crc32Compute gives a wrong check value\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double zlib = reporter.nsPerIteration["BM_Zlib"];
    const double mib = double(kBufferBytes) / (1024.0 * 1024.0);
    std::printf("crc32 16 KiB (CPU time), carry-less multiply %s:\n",
        crc32HasCarrylessMultiply() ? "in use" : "not available");
    for (const char *name : { "BM_Ours", "BM_Table" }) {
        const double ns = reporter.nsPerIteration[name];
        if (ns > 0 && zlib > 0)
            std::printf("  %-8s %7.0f MiB/s, zlib %7.0f MiB/s, speed vs zlib %.2fx\n", name,
                mib / (ns * 1e-9), mib / (zlib * 1e-9), zlib / ns);
    }
    benchmark::Shutdown();
    return 0;
}
