#include "GP/CompiledResources.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using namespace std::string_literals;

// The program compiles no resources in: every lookup fails the way the resource storage expects.
TEST(CompiledResources, EveryLookupRaisesResourceNotFound)
{
    const qv::symbol names[] = {qv::symbol(), qv::symbol("PICTURE"s), qv::symbol("TTFd"s), qv::symbol("skin.png"s)};
    for (const qv::symbol& name : names) {
        for (unsigned int id : {0u, 128u, 0xFFFFFFFFu}) {
            try {
                qv::compiled_resources::resolve_resource_data(name, id);
                ADD_FAILURE() << name.string() << " " << id << " resolved";
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "resource not found");
            }
        }
        try {
            qv::compiled_resources::resolve_resource_data(name);
            ADD_FAILURE() << name.string() << " resolved";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "resource not found");
        }
    }
}

TEST(ArrayRef, ViewsWithoutOwning)
{
    static const unsigned char bytes[] = {1, 2, 3};
    const qv::array_ref<const unsigned char> all(bytes);
    EXPECT_EQ(all.size(), 3u);
    EXPECT_EQ(all.data(), bytes);
    EXPECT_EQ(all[2], 3);
    int sum = 0;
    for (unsigned char b : all)
        sum += b;
    EXPECT_EQ(sum, 6);
    EXPECT_TRUE(qv::array_ref<const unsigned char>().empty());
    EXPECT_TRUE(qv::array_ref<const unsigned char>(nullptr, 5).empty()) << "no data, no elements";
}

}  // namespace
