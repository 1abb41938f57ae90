// The vectorised row kernels and combiners against the scalar ones: on random data, on every pair
// of alphas, on runs of every length and alignment, and on whole drawing operations.
#include "PictureChecks.h"

#include "Graphics/PixelRows.h"
#include "UIA/Picture.h"
#include "UIA/PictureCombiner.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

namespace {

using QV::GP::Rect;
using QV::UIA::Picture;
using QV::UIA::PictureCombiner;
namespace SCALAR = QV::UIA::PictureSCALAR;
namespace SSE2 = QV::UIA::PictureSSE2;
namespace Rows = QV::UIA::PixelRows;

// Runs a kernel both ways on copies of the same target row.
using RowKernel = std::function<void(uint32_t* dst, uint32_t const* src, int n)>;

void expectSameRows(RowKernel const& vectorised, RowKernel const& scalar, std::vector<uint32_t> const& source,
                    std::vector<uint32_t> const& target, int offset, int n)
{
    std::vector<uint32_t> a = target, b = target;
    vectorised(a.data() + offset, source.data() + offset, n);
    scalar(b.data() + offset, source.data() + offset, n);
    for (std::size_t i = 0; i < a.size(); ++i)
        ASSERT_EQ(a[i], b[i]) << "pixel " << i << " of " << n << " at offset " << offset << std::hex << ": source 0x"
                              << source[i] << " target 0x" << target[i];
}

struct tKernel {
    char const* name;
    RowKernel vectorised;
    RowKernel scalar;
};

std::vector<tKernel> kernels(uint32_t colour)
{
    return {
        {"fill", [=](uint32_t* d, uint32_t const*, int n) { SSE2::fillLine(d, n, colour); },
         [=](uint32_t* d, uint32_t const*, int n) { SCALAR::fillLine(d, n, colour); }},
        {"composite", SSE2::compositeLine, SCALAR::compositeLine},
        {"composite fill", [=](uint32_t* d, uint32_t const*, int n) { SSE2::compositeFillLine(d, n, colour); },
         [=](uint32_t* d, uint32_t const*, int n) { SCALAR::compositeFillLine(d, n, colour); }},
        {"blend", SSE2::blendLine, SCALAR::blendLine},
        {"dye", [=](uint32_t* d, uint32_t const* m, int n) { SSE2::dyeLine(d, m, n, colour); },
         [=](uint32_t* d, uint32_t const* m, int n) { SCALAR::dyeLine(d, m, n, colour); }},
    };
}

std::vector<uint32_t> randomWords(std::mt19937& random, std::size_t n)
{
    auto picture = qvtest::makePicture(int(n), 1, 0);
    qvtest::fillRandom(*picture, random);
    return qvtest::pixelsOf(*picture);
}

TEST(PixelRows, VectorisedKernelsMatchScalarOnRandomRunsOfEveryLengthAndAlignment)
{
    std::mt19937 random(2024);
    for (int round = 0; round < 40; ++round) {
        std::vector<uint32_t> const source = randomWords(random, 48);
        std::vector<uint32_t> const target = randomWords(random, 48);
        uint32_t const colour = randomWords(random, 1)[0];
        for (tKernel const& kernel : kernels(colour)) {
            SCOPED_TRACE(kernel.name);
            for (int offset = 0; offset < 4; ++offset)
                for (int n = 0; n <= 40; ++n)
                    expectSameRows(kernel.vectorised, kernel.scalar, source, target, offset, n);
        }
    }
}

// Every pair of source and target alpha with a spread of channel values: the corners of the
// rounding (alpha 0, 1, 254, 255; channels 0 and 255) included.
TEST(PixelRows, VectorisedKernelsMatchScalarOnEveryPairOfAlphas)
{
    uint32_t const channels[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF, 0x37, 0xC9};
    std::vector<uint32_t> source, target;
    for (uint32_t sA = 0; sA < 256; ++sA)
        for (uint32_t dA = 0; dA < 256; ++dA)
            for (uint32_t i = 0; i < 8; ++i) {
                uint32_t const s = channels[i], d = channels[(i * 3 + sA) % 8];
                source.push_back(sA << 24 | s << 16 | d << 8 | channels[(i + 5) % 8]);
                target.push_back(dA << 24 | d << 16 | channels[(i + dA) % 8] << 8 | s);
            }
    for (uint32_t const colour : {0x00FFFFFFu, 0x01000000u, 0x80FF8000u, 0xFE123456u, 0xFFFFFFFFu}) {
        for (tKernel const& kernel : kernels(colour)) {
            SCOPED_TRACE(kernel.name);
            expectSameRows(kernel.vectorised, kernel.scalar, source, target, 0, int(source.size()));
        }
    }
}

// Source and target overlapping in one row: the rows dispatch to the scalar order, pixel by
// pixel, so the result is the one of the scalar kernel.
TEST(PixelRows, OverlappingRunsTakeTheScalarOrder)
{
    std::mt19937 random(5);
    std::vector<uint32_t> const start = randomWords(random, 40);
    for (int shift = 1; shift < 4; ++shift) {
        std::vector<uint32_t> a = start, b = start;
        Rows::blendLine(a.data() + shift, a.data(), 32);
        SCALAR::blendLine(b.data() + shift, b.data(), 32);
        EXPECT_EQ(a, b) << shift;
        a = start;
        b = start;
        Rows::compositeLine(a.data() + shift, a.data(), 32);
        SCALAR::compositeLine(b.data() + shift, b.data(), 32);
        EXPECT_EQ(a, b) << shift;
    }
}

// Whole operations with the vectorised kernels switched on and off give the same pictures.
TEST(PixelRows, DrawingAndCombiningGiveTheSamePicturesWithAndWithoutSSE2)
{
    using namespace QV::UIA::PictureCombinerFunctors;
    std::mt19937 random(99);
    auto const run = [&](std::function<void(Picture&)> const& operation, Picture const& start) {
        std::vector<uint32_t> results[2];
        for (bool bVectorised : {true, false}) {
            Rows::setVectorised(bVectorised);
            auto target = qvtest::makePicture(start.getWidth(), start.getHeight(), 0);
            std::copy(start.getData(), start.getData() + start.getWidth() * start.getHeight(), target->getData());
            operation(*target);
            results[bVectorised ? 0 : 1] = qvtest::pixelsOf(*target);
        }
        Rows::setVectorised(true);
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
        uint32_t const colour = randomWords(random, 1)[0] | 0x01000000u;

        EXPECT_TRUE(run([&](Picture& p) { p.putStretched<CopySource>(Rect(1, 2, 40, 27), *sheet, 0, nullptr); }, *start));
        EXPECT_TRUE(run([&](Picture& p) { p.putStretched<BlendUsingAlpha>(Rect(-3, 0, 44, 31), *sheet, 0, nullptr); },
                        *start));
        EXPECT_TRUE(run([&](Picture& p) { p.putPicture<CopySource>(9, 5, *sheet, 0, nullptr); }, *start));
        EXPECT_TRUE(run(
            [&](Picture& p) {
                DyeUsingAlphaMask dye(colour);
                PictureCombiner<DyeUsingAlphaMask>(p, dye).combineStretchedApplySourceAnimation(Rect(0, 0, 41, 29),
                                                                                               *sheet, 0, nullptr);
            },
            *start));
        EXPECT_TRUE(run([&](Picture& p) { p.fillArea(3, 2, 30, 20, colour & 0xFEFFFFFF); }, *start));
        EXPECT_TRUE(run(
            [&](Picture& p) {
                p.setAlphaChannel(true);
                p.copyAreaUC(2, 3, 30, 20, p, 5, 1);  // overlapping, composited
            },
            *start));
    }
}

}  // namespace
