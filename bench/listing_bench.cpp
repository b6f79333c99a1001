// The listing: bytes per second of a reversed escape listing written by a
// worker into the output box while the UI thread serves it, against the pure
// piece generator appending to a string (the cost without any messages).
#include "bench/ui_thread.h"

#include "engine/box.h"
#include "engine/conversion.h"
#include "engine/pieces.h"
#include "run/runstate.h"
#include "ui/resource.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> RandomBytes(size_t n)
{
    std::vector<unsigned char> bytes(n);
    std::mt19937 rng(3);
    for (auto &b : bytes)
        b = static_cast<unsigned char>(rng());
    return bytes;
}

void ListingIntoOutputBox(benchmark::State &state)
{
    const std::vector<unsigned char> bytes = RandomBytes(static_cast<size_t>(state.range(0)));
    BenchUiThread ui(IDC_OUTPUT);
    g_hDlg = ui.Dialog();
    for (auto _ : state) {
        SetDlgItemTextA(g_hDlg, IDC_OUTPUT, "");
        WriteListing(ModeLittleEndian, bytes.data(), static_cast<DWORD>(bytes.size()));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ListingIntoOutputBox)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void AppendPiece(void *context, const char *piece)
{
    if (piece != nullptr)
        static_cast<std::string *>(context)->append(piece);
}

void ListingIntoString(benchmark::State &state)
{
    const std::vector<unsigned char> bytes = RandomBytes(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        std::string text;
        GenerateListing(ModeLittleEndian, bytes.data(), static_cast<uint32_t>(bytes.size()), AppendPiece, &text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ListingIntoString)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
