// The application menu names the application after the executable when the bundle gives no name
// (no Info.plist, as for this test program): "About <name>", "Hide <name>", "Quit <name>".
#include "UIA/HMenu.h"

#include <AppKit/AppKit.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using objc::msgSend;

std::string titleOf(id item)
{
    id title = msgSend<id>(item, objc::sel("title"));
    const char* text = title ? msgSend<const char*>(title, objc::sel("UTF8String")) : nullptr;
    return text ? text : "";
}

TEST(ApplicationName, WithoutABundleNameTheApplicationMenuUsesTheExecutablesName)
{
    id pool = msgSend<id>(msgSend<id>(objc_getClass("NSAutoreleasePool"), objc::sel("alloc")), objc::sel("init"));
    const std::string name = std::filesystem::read_symlink("/proc/self/exe").filename().string();
    id menu = QV::UIA::HMenuBar::getApplicationMenu().getMenu();
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> titles;
    const NSInteger count = msgSend<NSInteger>(menu, objc::sel("numberOfItems"));
    for (NSInteger i = 0; i < count; ++i)
        titles.push_back(titleOf(msgSend<id, NSInteger>(menu, objc::sel("itemAtIndex:"), i)));
    for (const char* action : {"About", "Hide", "Quit"})
        EXPECT_NE(std::find(titles.begin(), titles.end(), std::string(action) + " " + name), titles.end())
            << action << " " << name;
    msgSend<void>(pool, objc::sel("drain"));
}

}  // namespace
