// The registration domain of the user defaults, filled from dictionaries as the program's delegate
// fills it, and the dictionaries and numbers it is filled with.
#include <Foundation/Bridge.h>
#include <Foundation/Foundation.h>

#include <gtest/gtest.h>

namespace {

using objc::msgSend;
using objc::sel;

id string(const char* text) { return objc_autorelease(qvcompat::foundation::newString(text)); }

id boolean(bool value) { return msgSend<id, BOOL>(objc_getClass("NSNumber"), sel("numberWithBool:"), value); }

id dictionary(std::initializer_list<std::pair<const char*, id>> entries)
{
    std::vector<id> keys, objects;
    for (auto& [key, object] : entries) {
        keys.push_back(string(key));
        objects.push_back(object);
    }
    return msgSend<id, const id*, const id*, NSUInteger>(objc_getClass("NSDictionary"),
                                                         sel("dictionaryWithObjects:forKeys:count:"), objects.data(),
                                                         keys.data(), keys.size());
}

id defaults() { return msgSend<id>(objc_getClass("NSUserDefaults"), sel("standardUserDefaults")); }

id objectFor(id dictionaryOrDefaults, const char* key)
{
    return msgSend<id, id>(dictionaryOrDefaults, sel("objectForKey:"), string(key));
}

bool boolFor(const char* key) { return msgSend<BOOL, id>(defaults(), sel("boolForKey:"), string(key)); }

TEST(NSUserDefaults, RegisteredValuesAnswerByKeyAndLaterRegistrationsReplaceThem)
{
    id pool = msgSend<id>(msgSend<id>(objc_getClass("NSAutoreleasePool"), sel("alloc")), sel("init"));
    ASSERT_EQ(defaults(), defaults());
    EXPECT_FALSE(boolFor("QVTestPalette"));  // absent
    msgSend<void, id>(defaults(), sel("registerDefaults:"),
                      dictionary({{"QVTestPalette", boolean(true)}, {"QVTestOther", boolean(false)}}));
    EXPECT_TRUE(boolFor("QVTestPalette"));
    EXPECT_FALSE(boolFor("QVTestOther"));
    msgSend<void, id>(defaults(), sel("registerDefaults:"), dictionary({{"QVTestPalette", boolean(false)}}));
    EXPECT_FALSE(boolFor("QVTestPalette"));
    // A value that is no number is no boolean, and nil registers nothing.
    msgSend<void, id>(defaults(), sel("registerDefaults:"), dictionary({{"QVTestText", string("YES")}}));
    EXPECT_FALSE(boolFor("QVTestText"));
    EXPECT_NE(objectFor(defaults(), "QVTestText"), nil);
    msgSend<void, id>(defaults(), sel("registerDefaults:"), nil);
    EXPECT_EQ(objectFor(defaults(), "QVTestNone"), nil);
    msgSend<void>(pool, sel("release"));
}

TEST(NSDictionary, AnEqualKeyGivenAgainReplacesTheEarlierEntry)
{
    id pool = msgSend<id>(msgSend<id>(objc_getClass("NSAutoreleasePool"), sel("alloc")), sel("init"));
    id yes = boolean(true);
    id no = boolean(false);
    id d = dictionary({{"a", yes}, {"b", no}, {"a", no}});
    EXPECT_EQ(msgSend<NSUInteger>(d, sel("count")), 2u);
    EXPECT_EQ(objectFor(d, "a"), no);
    EXPECT_EQ(objectFor(d, "b"), no);
    EXPECT_EQ(objectFor(d, "c"), nil);
    id single =
        msgSend<id, id, id>(objc_getClass("NSDictionary"), sel("dictionaryWithObject:forKey:"), yes, string("k"));
    EXPECT_EQ(objectFor(single, "k"), yes);
    msgSend<void>(pool, sel("release"));
}

}  // namespace
