// Times the picture combiners on a picture of the wizard window's size (627 x 335): blend, dye,
// a composited copy (CopySource of a picture with alpha) and a nine-patch stretched over the whole
// window (composited tiles of a skin sheet), each with every kernel set this processor
// runs (scalar, SSE2, AVX2), and a memcpy of the same bytes as the memory-bandwidth floor. Prints
// the ratios at the end: each set's time / memcpy per operation (target: blend within 3x) and
// the scalar time / the set's.
#include "Graphics/PixelRows.h"
#include "UIA/Picture.h"
#include "UIA/PictureCombiner.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using QV::GP::Rect;
using QV::UIA::Picture;
using QV::UIA::PictureCombiner;
using namespace QV::UIA::PictureCombinerFunctors;

constexpr int kWidth = 627;
constexpr int kHeight = 335;
constexpr std::size_t kBytes = std::size_t(kWidth) * kHeight * sizeof(uint32_t);

// Random pixels: every alpha, so no shortcut of the kernels decides the timing.
std::unique_ptr<Picture> randomPicture(int width, int height, uint32_t seed)
{
    auto picture = std::make_unique<Picture>();
    picture->setSize(width, height, true);
    std::mt19937 random(seed);
    std::uniform_int_distribution<uint32_t> word;
    for (int i = 0; i < width * height; ++i)
        picture->getData()[i] = word(random);
    return picture;
}

// A skin sheet: 64 x 64, borders 12, alpha channel.
std::unique_ptr<Picture> skinSheet()
{
    auto sheet = randomPicture(64, 64, 3);
    sheet->setAlphaChannel(true);
    sheet->setVertResizable(true);
    sheet->setHorzResizable(true);
    sheet->setFixedTop(12);
    sheet->setFixedBottom(12);
    sheet->setFixedLeft(12);
    sheet->setFixedRight(12);
    sheet->initEmptyAreaFlags();
    return sheet;
}

using QV::UIA::PixelRows::eKernels;

// Counts the target's bytes and goes back to the best kernels.
void finish(benchmark::State& state)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
    QV::UIA::PixelRows::setKernels(QV::UIA::PixelRows::bestKernels());
}

void blend(benchmark::State& state, eKernels kernels)
{
    auto target = randomPicture(kWidth, kHeight, 1);
    auto source = randomPicture(kWidth, kHeight, 2);
    QV::UIA::PixelRows::setKernels(kernels);
    for (auto _ : state) {
        target->putPicture<BlendUsingAlpha>(0, 0, *source, 0, nullptr);
        benchmark::ClobberMemory();
    }
    finish(state);
}

void dye(benchmark::State& state, eKernels kernels)
{
    auto target = randomPicture(kWidth, kHeight, 1);
    auto mask = randomPicture(kWidth, kHeight, 2);
    DyeUsingAlphaMask functor(0xC0336699);
    QV::UIA::PixelRows::setKernels(kernels);
    for (auto _ : state) {
        PictureCombiner<DyeUsingAlphaMask>(*target, functor).combine(0, 0, kWidth, kHeight, *mask, 0, 0);
        benchmark::ClobberMemory();
    }
    finish(state);
}

// CopySource of a picture with an alpha channel: "source over" on every pixel, one run per row.
void composite(benchmark::State& state, eKernels kernels)
{
    auto target = randomPicture(kWidth, kHeight, 1);
    auto source = randomPicture(kWidth, kHeight, 2);
    source->setAlphaChannel(true);
    QV::UIA::PixelRows::setKernels(kernels);
    for (auto _ : state) {
        target->putPicture<CopySource>(0, 0, *source, 0, nullptr);
        benchmark::ClobberMemory();
    }
    finish(state);
}

void ninePatch(benchmark::State& state, eKernels kernels)
{
    auto target = randomPicture(kWidth, kHeight, 1);
    auto sheet = skinSheet();
    QV::UIA::PixelRows::setKernels(kernels);
    for (auto _ : state) {
        target->putStretched<CopySource>(Rect(0, 0, kWidth, kHeight), *sheet, 0, nullptr);
        benchmark::ClobberMemory();
    }
    finish(state);
}

void copyBytes(benchmark::State& state)
{
    std::vector<uint32_t> from(kBytes / sizeof(uint32_t), 0x12345678), to(kBytes / sizeof(uint32_t));
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}

// The console output, plus each run's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    double time(const std::string& name) const
    {
        const auto it = m_times.find(name);
        return it == m_times.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> m_times;
};

}  // namespace

int main(int argc, char** argv)
{
    using namespace QV::UIA::PixelRows;
    const char* const operations[] = {"blend", "dye", "composite", "nine-patch"};
    void (*const bodies[])(benchmark::State&, eKernels) = {blend, dye, composite, ninePatch};
    struct tSet {
        eKernels kernels;
        const char* name;
    };
    std::vector<tSet> sets;
    for (tSet set : {tSet{eScalarKernels, "scalar"}, tSet{eSSE2Kernels, "SSE2"}, tSet{eAVX2Kernels, "AVX2"}})
        if (isSupported(set.kernels))
            sets.push_back(set);
    for (int i = 0; i < 4; ++i)
        for (const tSet& set : sets)
            benchmark::RegisterBenchmark((std::string(operations[i]) + "/" + set.name).c_str(), bodies[i], set.kernels)
                ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("memcpy", copyBytes)->Unit(benchmark::kMicrosecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double floor = reporter.time("memcpy");
    if (floor <= 0)
        return 0;
    std::printf("\n%-12s %-8s %10s %10s\n", "operation", "kernels", "/memcpy", "speed-up");
    for (const char* operation : operations) {
        const double scalar = reporter.time(std::string(operation) + "/scalar");
        for (const tSet& set : sets) {
            const double time = reporter.time(std::string(operation) + "/" + set.name);
            if (time <= 0)
                continue;
            std::printf("%-12s %-8s %10.2f", operation, set.name, time / floor);
            if (scalar > 0)
                std::printf(" %10.2f", scalar / time);
            std::printf("\n");
        }
    }
    return 0;
}
