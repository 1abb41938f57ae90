// AppKit's classes are there for a program that finds them by name only: this file includes no
// AppKit header, yet asks for them from a static initialiser, as the program's class factories do.
#include <objc/message.h>
#include <objc/runtime.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <thread>

namespace {

const char* const kClassNames[] = {"NSObject", "NSString", "NSThread",   "NSTimer", "NSRunLoop", "NSNotificationCenter",
                                   "NSAlert",  "NSButton", "NSWorkspace"};

// Filled while the program loads, before main.
std::map<std::string, Class>& foundAtLoad()
{
    static std::map<std::string, Class> s_found;
    return s_found;
}

const bool s_looked = [] {
    for (const char* name : kClassNames)
        foundAtLoad()[name] = objc_getClass(name);
    return true;
}();

TEST(AppKitLoad, ClassesAreFoundByNameFromStaticInitialisers)
{
    ASSERT_TRUE(s_looked);
    for (const char* name : kClassNames) {
        EXPECT_NE(foundAtLoad()[name], Nil) << name << " was missing while the program loaded";
        EXPECT_EQ(foundAtLoad()[name], objc_getClass(name)) << name;
    }
}

TEST(AppKitLoad, NSThreadTellsTheMainThread)
{
    Class thread = objc_getClass("NSThread");
    EXPECT_EQ(objc::msgSend<BOOL>(thread, objc::sel("isMainThread")), YES);
    BOOL elsewhere = YES;
    std::thread([&] { elsewhere = objc::msgSend<BOOL>(thread, objc::sel("isMainThread")); }).join();
    EXPECT_EQ(elsewhere, NO);
}

}  // namespace
