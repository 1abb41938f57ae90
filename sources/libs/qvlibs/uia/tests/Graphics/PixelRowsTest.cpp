// The vectorised row kernels (SSE2, and AVX2 where the processor has it) and the combiners with
// them against the scalar ones: on random data, on every pair of alphas, on runs of every length
// and alignment, on runs of opaque and transparent pixels, and on whole drawing operations.
#include "PictureChecks.h"

#include "Graphics/PixelRows.h"
#include "UIA/Picture.h"
#include "UIA/PictureCombiner.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using QV::GP::Rect;
using QV::UIA::Picture;
using QV::UIA::PictureCombiner;
namespace SCALAR = QV::UIA::PictureSCALAR;
namespace Rows = QV::UIA::PixelRows;
using Rows::eKernels;

// Runs a kernel both ways on copies of the same target row; the whole rows must agree, so a
// kernel that writes outside its run fails too.
using RowKernel = std::function<void(uint32_t* dst, const uint32_t* src, int n)>;

void expectSameRows(const RowKernel& vectorised, const RowKernel& scalar, const std::vector<uint32_t>& source,
                    const std::vector<uint32_t>& target, int offset, int n)
{
    std::vector<uint32_t> a = target, b = target;
    vectorised(a.data() + offset, source.data() + offset, n);
    scalar(b.data() + offset, source.data() + offset, n);
    for (std::size_t i = 0; i < a.size(); ++i)
        ASSERT_EQ(a[i], b[i]) << "pixel " << i << " of " << n << " at offset " << offset << std::hex << ": source 0x"
                              << source[i] << " target 0x" << target[i];
}

struct tKernel {
    const char* name;
    RowKernel vectorised;
    RowKernel scalar;
};

// The five kernels of one vectorised set, each with its scalar reference.
std::vector<tKernel> kernelsOf(const QV::UIA::tRowKernels& set, uint32_t colour)
{
    const QV::UIA::tRowKernels& scalar = SCALAR::kKernels;
    return {
        {"fill", [=](uint32_t* d, const uint32_t*, int n) { set.fillLine(d, n, colour); },
         [=](uint32_t* d, const uint32_t*, int n) { scalar.fillLine(d, n, colour); }},
        {"composite", set.compositeLine, scalar.compositeLine},
        {"composite fill", [=](uint32_t* d, const uint32_t*, int n) { set.compositeFillLine(d, n, colour); },
         [=](uint32_t* d, const uint32_t*, int n) { scalar.compositeFillLine(d, n, colour); }},
        {"blend", set.blendLine, scalar.blendLine},
        {"dye", [=](uint32_t* d, const uint32_t* m, int n) { set.dyeLine(d, m, n, colour); },
         [=](uint32_t* d, const uint32_t* m, int n) { scalar.dyeLine(d, m, n, colour); }},
    };
}

// One vectorised kernel set per test instance; the AVX2 one skips where the processor lacks it.
struct tKernelSet {
    eKernels kernels;
    const char* name;
};

void PrintTo(const tKernelSet& set, std::ostream* os) { *os << set.name; }

const tKernelSet kKernelSets[] = {{Rows::eSSE2Kernels, "SSE2"}, {Rows::eAVX2Kernels, "AVX2"}};

class VectorisedRows : public testing::TestWithParam<tKernelSet> {
protected:
    void SetUp() override
    {
        if (!Rows::isSupported(GetParam().kernels))
            GTEST_SKIP() << GetParam().name << " is not supported by this processor";
    }
    void TearDown() override { Rows::setKernels(Rows::bestKernels()); }

    std::vector<tKernel> kernels(uint32_t colour) const
    {
        return kernelsOf(Rows::rowKernels(GetParam().kernels), colour);
    }
};

std::vector<uint32_t> randomWords(std::mt19937& random, std::size_t n)
{
    auto picture = qvtest::makePicture(int(n), 1, 0);
    qvtest::fillRandom(*picture, random);
    return qvtest::pixelsOf(*picture);
}

// Lengths below, at and past one, two and several vector steps (4 and 8 pixels), from every
// alignment within 32 bytes.
TEST_P(VectorisedRows, MatchScalarOnRandomRunsOfEveryLengthAndAlignment)
{
    std::mt19937 random(2024);
    for (int round = 0; round < 40; ++round) {
        const std::vector<uint32_t> source = randomWords(random, 88);
        const std::vector<uint32_t> target = randomWords(random, 88);
        const uint32_t colour = randomWords(random, 1)[0];
        for (const tKernel& kernel : kernels(colour)) {
            SCOPED_TRACE(kernel.name);
            for (int offset = 0; offset < 8; ++offset)
                for (int n = 0; n <= 72; ++n)
                    expectSameRows(kernel.vectorised, kernel.scalar, source, target, offset, n);
        }
    }
}

// Every pair of source and target alpha, each with the corners of the rounding (channels 0, 1,
// 127, 128, 254, 255) and with channels that run through every byte value as the pairs go by.
TEST_P(VectorisedRows, MatchScalarOnEveryPairOfAlphas)
{
    const uint32_t channels[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF, 0x37, 0xC9};
    std::vector<uint32_t> source, target;
    for (uint32_t sA = 0; sA < 256; ++sA)
        for (uint32_t dA = 0; dA < 256; ++dA) {
            for (uint32_t i = 0; i < 8; ++i) {
                const uint32_t s = channels[i], d = channels[(i * 3 + sA) % 8];
                source.push_back(sA << 24 | s << 16 | d << 8 | channels[(i + 5) % 8]);
                target.push_back(dA << 24 | d << 16 | channels[(i + dA) % 8] << 8 | s);
            }
            const uint32_t spread = sA * 256 + dA;
            for (uint32_t i = 0; i < 3; ++i) {
                const uint32_t a = (spread * (2 * i + 1)) & 0xFF, b = (spread * 7 + i * 85) & 0xFF;
                source.push_back(sA << 24 | a << 16 | b << 8 | ((a + b + i) & 0xFF));
                target.push_back(dA << 24 | b << 16 | ((a ^ 0x5A) & 0xFF) << 8 | ((255 - a + 3 * b) & 0xFF));
            }
        }
    for (const uint32_t colour : {0x00FFFFFFu, 0x01000000u, 0x80FF8000u, 0xFE123456u, 0xFFFFFFFFu, 0xC0336699u}) {
        for (const tKernel& kernel : kernels(colour)) {
            SCOPED_TRACE(kernel.name);
            expectSameRows(kernel.vectorised, kernel.scalar, source, target, 0, int(source.size()));
        }
    }
}

// Runs of opaque and of transparent pixels, long enough to fill whole vector steps, and steps
// with a single odd one: the shortcuts of "source over" and the mix with weight 0 or 255.
TEST_P(VectorisedRows, MatchScalarOnRunsOfOpaqueAndTransparentPixels)
{
    std::mt19937 random(7);
    std::vector<uint32_t> source = randomWords(random, 96);
    std::vector<uint32_t> target = randomWords(random, 96);
    for (int i = 0; i < 96; ++i) {
        switch (i / 16) {
        case 0: source[i] |= 0xFF000000u; break;  // opaque source
        case 1: source[i] &= 0x00FFFFFFu; break;  // transparent source
        case 2:
            source[i] &= 0x00FFFFFFu;
            target[i] &= 0x00FFFFFFu;
            break;  // both transparent
        case 3: source[i] = i == 53 ? source[i] & 0x7FFFFFFFu : source[i] | 0xFF000000u; break;
        case 4: source[i] = i == 70 ? source[i] | 0x01000000u : source[i] & 0x00FFFFFFu; break;
        default: target[i] |= 0xFF000000u; break;  // opaque target
        }
    }
    for (const uint32_t colour : {0xFF102030u, 0x00102030u, 0x7F102030u}) {
        for (const tKernel& kernel : kernels(colour)) {
            SCOPED_TRACE(kernel.name);
            for (int offset = 0; offset < 8; ++offset)
                expectSameRows(kernel.vectorised, kernel.scalar, source, target, offset, 96 - offset);
        }
    }
}

// Source and target overlapping in one row: the rows dispatch to the scalar order, pixel by
// pixel, so the result is the one of the scalar kernel.
TEST_P(VectorisedRows, OverlappingRunsTakeTheScalarOrder)
{
    ASSERT_EQ(Rows::setKernels(GetParam().kernels), GetParam().kernels);
    std::mt19937 random(5);
    const std::vector<uint32_t> start = randomWords(random, 40);
    for (int shift = 1; shift < 9; ++shift) {
        std::vector<uint32_t> a = start, b = start;
        Rows::blendLine(a.data() + shift, a.data(), 32);
        SCALAR::kKernels.blendLine(b.data() + shift, b.data(), 32);
        EXPECT_EQ(a, b) << shift;
        a = start;
        b = start;
        Rows::compositeLine(a.data(), a.data() + shift, 32);
        SCALAR::kKernels.compositeLine(b.data(), b.data() + shift, 32);
        EXPECT_EQ(a, b) << shift;
        a = start;
        b = start;
        Rows::dyeLine(a.data() + shift, a.data(), 32, 0xC0336699u);
        SCALAR::kKernels.dyeLine(b.data() + shift, b.data(), 32, 0xC0336699u);
        EXPECT_EQ(a, b) << shift;
    }
}

// Whole operations with the set chosen give the same pictures as with the scalar kernels.
TEST_P(VectorisedRows, DrawingAndCombiningGiveTheSamePicturesAsScalar)
{
    using namespace QV::UIA::PictureCombinerFunctors;
    std::mt19937 random(99);
    const auto run = [&](const std::function<void(Picture&)>& operation, const Picture& start) {
        std::vector<uint32_t> results[2];
        for (int i = 0; i < 2; ++i) {
            eKernels const wanted = i == 0 ? GetParam().kernels : Rows::eScalarKernels;
            EXPECT_EQ(Rows::setKernels(wanted), wanted);
            auto target = qvtest::makePicture(start.getWidth(), start.getHeight(), 0);
            std::copy(start.getData(), start.getData() + start.getWidth() * start.getHeight(), target->getData());
            operation(*target);
            results[i] = qvtest::pixelsOf(*target);
        }
        return results[0] == results[1];
    };

    for (int round = 0; round < 20; ++round) {
        auto start = qvtest::makePicture(41, 29, 0);
        qvtest::fillRandom(*start, random);
        auto sheet = qvtest::makePicture(23, 17, 0);
        qvtest::fillRandom(*sheet, random);
        sheet->setAlphaChannel(true);
        sheet->setVertResizable(true);
        sheet->setHorzResizable(true);
        sheet->setFixedTop(4);
        sheet->setFixedBottom(3);
        sheet->setFixedLeft(5);
        sheet->setFixedRight(6);
        const uint32_t colour = randomWords(random, 1)[0] | 0x01000000u;

        EXPECT_TRUE(
            run([&](Picture& p) { p.putStretched<CopySource>(Rect(1, 2, 40, 27), *sheet, 0, nullptr); }, *start));
        EXPECT_TRUE(
            run([&](Picture& p) { p.putStretched<BlendUsingAlpha>(Rect(-3, 0, 44, 31), *sheet, 0, nullptr); }, *start));
        EXPECT_TRUE(run([&](Picture& p) { p.putPicture<CopySource>(9, 5, *sheet, 0, nullptr); }, *start));
        EXPECT_TRUE(run(
            [&](Picture& p) {
                DyeUsingAlphaMask dye(colour);
                PictureCombiner<DyeUsingAlphaMask>(p, dye).combineStretchedApplySourceAnimation(Rect(0, 0, 41, 29),
                                                                                                *sheet, 0, nullptr);
            },
            *start));
        EXPECT_TRUE(run([&](Picture& p) { p.fillArea(3, 2, 30, 20, colour & 0xFEFFFFFF); }, *start));
        EXPECT_TRUE(run([&](Picture& p) { p.fillArea(1, 1, 38, 26, colour | 0xFF000000u); }, *start));
        EXPECT_TRUE(run(
            [&](Picture& p) {
                p.setAlphaChannel(true);
                p.copyAreaUC(2, 3, 30, 20, p, 5, 1);  // overlapping, composited
            },
            *start));
    }
}

INSTANTIATE_TEST_SUITE_P(PixelRows, VectorisedRows, testing::ValuesIn(kKernelSets),
                         [](const testing::TestParamInfo<tKernelSet>& info) { return std::string(info.param.name); });

// The choice of kernels: the scalar set always runs; a set the processor lacks gives way to the
// best one; setVectorised switches between the best and the scalar set.
TEST(PixelRows, KernelChoiceFallsBackToWhatTheProcessorRuns)
{
    EXPECT_TRUE(Rows::isSupported(Rows::eScalarKernels));
    const eKernels best = Rows::bestKernels();
    EXPECT_TRUE(Rows::isSupported(best));
    EXPECT_EQ(Rows::kernels(), best);
    for (const eKernels kernels : {Rows::eAVX2Kernels, Rows::eSSE2Kernels})
        EXPECT_TRUE(!Rows::isSupported(kernels) || best >= kernels) << kernels;

    for (const eKernels kernels : {Rows::eScalarKernels, Rows::eSSE2Kernels, Rows::eAVX2Kernels}) {
        const eKernels chosen = Rows::setKernels(kernels);
        EXPECT_EQ(chosen, Rows::isSupported(kernels) ? kernels : best) << kernels;
        EXPECT_EQ(Rows::kernels(), chosen);
        EXPECT_EQ(Rows::isVectorised(), chosen != Rows::eScalarKernels);
    }

    // Every set has a table of its own kernels (an x86-64 build has all three).
    EXPECT_EQ(&Rows::rowKernels(Rows::eScalarKernels), &SCALAR::kKernels);
#if defined(__x86_64__)
    const QV::UIA::tRowKernels* tables[] = {&Rows::rowKernels(Rows::eScalarKernels),
                                            &Rows::rowKernels(Rows::eSSE2Kernels),
                                            &Rows::rowKernels(Rows::eAVX2Kernels)};
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j) {
            EXPECT_NE(tables[i]->fillLine, tables[j]->fillLine) << i << " " << j;
            EXPECT_NE(tables[i]->compositeLine, tables[j]->compositeLine) << i << " " << j;
            EXPECT_NE(tables[i]->compositeFillLine, tables[j]->compositeFillLine) << i << " " << j;
            EXPECT_NE(tables[i]->blendLine, tables[j]->blendLine) << i << " " << j;
            EXPECT_NE(tables[i]->dyeLine, tables[j]->dyeLine) << i << " " << j;
        }
#endif

    Rows::setVectorised(false);
    EXPECT_EQ(Rows::kernels(), Rows::eScalarKernels);
    EXPECT_FALSE(Rows::isVectorised());
    Rows::setVectorised(true);
    EXPECT_EQ(Rows::kernels(), best);
}

}  // namespace
