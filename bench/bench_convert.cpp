#include "colour_conversion.h"

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <string>

namespace {

void ConvertTypical(benchmark::State& state, const char* r, const char* g, const char* b)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(quorvel::ConvertColour(r, g, b));
}
BENCHMARK_CAPTURE(ConvertTypical, Brown, "128", "64", "32");
BENCHMARK_CAPTURE(ConvertTypical, Fractions, "12.5", "0", "255");

// The floor: reading three numbers and writing three, with nothing else.
void FloorFromCharsToChars(benchmark::State& state, const char* r, const char* g, const char* b)
{
    const std::array<std::string, 3> texts{r, g, b};
    std::array<char, 32> buffer{};
    for (auto _ : state) {
        for (const std::string& text : texts) {
            double value = 0.0;
            std::from_chars(text.data(), text.data() + text.size(), value);
            benchmark::DoNotOptimize(std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                                   (1.0 - value / 255.0) * 100.0, std::chars_format::fixed, 3));
            benchmark::ClobberMemory();
        }
    }
}
BENCHMARK_CAPTURE(FloorFromCharsToChars, Brown, "128", "64", "32");
BENCHMARK_CAPTURE(FloorFromCharsToChars, Fractions, "12.5", "0", "255");

// A number padded with leading zeros to the given length, in all three channels.
void ConvertLong(benchmark::State& state)
{
    const auto length = static_cast<std::size_t>(state.range(0));
    const std::string text = std::string(length - 3, '0') + "128";
    for (auto _ : state)
        benchmark::DoNotOptimize(quorvel::ConvertColour(text, text, text));
    state.SetBytesProcessed(state.iterations() * 3 * state.range(0));
}
BENCHMARK(ConvertLong)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20);

}  // namespace

BENCHMARK_MAIN();
