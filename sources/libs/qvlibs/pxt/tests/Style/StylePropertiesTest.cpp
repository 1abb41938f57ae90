// The table of known style properties: each name finds its own row by its interned name, names the
// toolkit does not read find none, and the stylesheet fuzzer's dictionary offers every name.
#include "PXT/StyleProperties.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

namespace {

using namespace QV::PXT;

TEST(StyleProperties, EachNameFindsItsOwnRow)
{
    for (const tStyleProperty& row : styleProperties()) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(styleName(row.id).string(), row.name);
        // A name given to two rows would find only one of them.
        EXPECT_EQ(findKnownStyleProperty(qv::symbol(std::string(row.name))), &row);
    }
    for (const char* unknown : {"", "colour", "palette1-color0", "Width", "width ", "font-"})
        EXPECT_EQ(findKnownStyleProperty(qv::symbol(std::string(unknown))), nullptr) << '"' << unknown << '"';
}

TEST(StyleProperties, TheFuzzersDictionaryOffersEveryName)
{
    std::ifstream dictionary(QV_STYLESHEET_DICT);
    ASSERT_TRUE(dictionary) << QV_STYLESHEET_DICT;
    std::set<std::string> entries;
    for (std::string line; std::getline(dictionary, line);)
        entries.insert(line);
    for (const tStyleProperty& row : styleProperties())
        EXPECT_TRUE(entries.count('"' + std::string(row.name) + '"'))
            << QV_STYLESHEET_DICT << " lacks the line \"" << row.name << '"';
}

}  // namespace
