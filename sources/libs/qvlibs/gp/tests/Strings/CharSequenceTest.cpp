#include "GP/CharSequence.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using QV::GP::CharSequence;

std::size_t sizeOf(const CharSequence<char>& text) { return text.size(); }

TEST(CharSequence, ViewsWithoutCopying)
{
    const std::string owned = "owned";
    const CharSequence<char> fromString(owned);
    EXPECT_EQ(fromString.data(), owned.c_str());
    EXPECT_EQ(fromString.size(), 5u);

    const char* literal = "literal";
    const CharSequence<char> fromPointer(literal);
    EXPECT_EQ(fromPointer.data(), literal);
    EXPECT_EQ(fromPointer.length(), 7u);

    const CharSequence<char> piece(literal + 2, 3);
    EXPECT_EQ(piece.str(), "ter");
    EXPECT_EQ(piece, CharSequence<char>("ter"));
    EXPECT_NE(piece, CharSequence<char>("te"));

    // The usual parameter type: literals and strings convert implicitly.
    EXPECT_EQ(sizeOf("abc"), 3u);
    EXPECT_EQ(sizeOf(owned), 5u);
}

TEST(CharSequence, NullAndEmptyAreTheEmptyText)
{
    const CharSequence<char> views[] = {CharSequence<char>(), CharSequence<char>(nullptr),
                                        CharSequence<char>(nullptr, 12), CharSequence<char>("")};
    for (const CharSequence<char>& view : views) {
        EXPECT_TRUE(view.empty());
        ASSERT_NE(view.data(), nullptr);  // still usable as a C string
        EXPECT_EQ(view.data()[0], '\0');
        EXPECT_EQ(view.begin(), view.end());
    }
}

}  // namespace
