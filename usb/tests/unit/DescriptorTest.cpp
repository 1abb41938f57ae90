#include "DVK2/USBDescriptor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace QV::DVK2::USB {
namespace {

// Walks `bytes` from the start as the callers do and records where each step landed.
struct Walk {
    std::vector<size_t> offsets;
    unsigned remaining = 0;
    std::string output;
};

Walk walk(const std::vector<uint8_t>& bytes, unsigned remaining)
{
    Walk result;
    result.remaining = remaining;
    testing::internal::CaptureStdout();
    auto header = reinterpret_cast<const DescriptorHeader*>(bytes.data());
    while ((header = Descriptor::getNext(header, result.remaining)) != nullptr)
        result.offsets.push_back(reinterpret_cast<const uint8_t*>(header) - bytes.data());
    result.output = testing::internal::GetCapturedStdout();
    return result;
}

const std::vector<uint8_t> kConfig{9, 2, 27, 0, 1, 1, 0, 0x80, 50};
const std::vector<uint8_t> kInterface{9, 4, 0, 0, 0, 0xFE, 1, 2, 0};
const std::vector<uint8_t> kFunctional{9, 0x21, 0x0B, 0xE8, 0x03, 0x00, 0x08, 0x10, 0x01};

std::vector<uint8_t> join(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

TEST(DescriptorTest, Walks)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        unsigned remaining;  // as the caller passes it
        std::vector<size_t> offsets;
        unsigned remainingAfter;
        std::string output;
    };
    const Case cases[] = {
        {"well formed, last one ends quietly", join({kConfig, kInterface, kFunctional}), 27, {9, 18}, 0, ""},
        {"a single descriptor", kConfig, 9, {}, 0, ""},
        {"stops at the given size", join({kConfig, kInterface, kFunctional}), 18, {9}, 0, ""},
        {"bLength 0 at the start",
         {0, 2, 0, 0},
         4,
         {},
         4,
         "invalid descriptor size: pStart->bLength = 0, uRemainingSize = 4\n"},
        {"first longer than the size",
         kConfig,
         5,
         {},
         5,
         "invalid descriptor size: pStart->bLength = 9, uRemainingSize = 5\n"},
        {"bLength 0 further on",
         join({kConfig, {0, 4, 0}}),
         12,
         {9},
         3,
         "invalid descriptor size: pStart->bLength = 0, uRemainingSize = 3\n"},
        {"next overruns the end",
         join({kConfig, {9, 4, 0, 0, 0}}),
         14,
         {},
         0,
         "invalid descriptor size: pNext->bLength = 9, uRemainingSize = 5\n"},
        {"one stray byte after the last",
         join({kConfig, {1}}),
         10,
         {},
         0,
         "invalid descriptor size: pNext->bLength = 1, uRemainingSize = 1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Walk result = walk(c.bytes, c.remaining);
        EXPECT_EQ(result.offsets, c.offsets);
        EXPECT_EQ(result.remaining, c.remainingAfter);
        EXPECT_EQ(result.output, c.output);
    }
}

TEST(DescriptorTest, NullHeaderEndsTheWalk)
{
    unsigned remaining = 12;
    EXPECT_EQ(Descriptor::getNext(nullptr, remaining), nullptr);
    EXPECT_EQ(remaining, 12u);
}

}  // namespace
}  // namespace QV::DVK2::USB
