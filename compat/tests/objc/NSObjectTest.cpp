// NSObject as the root of classes that the program derives at run time: the base's C++ code reaches
// the overrides by its own sends.
#include "ObjcTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using objc::msgSend;
using objc::msgSendSuper;
using qvcompat::test::sel;
using qvcompat::test::uniqueName;

Class g_widget = nullptr;
int g_deallocs = 0;

id widgetInit(id self, SEL op)
{
    objc_super up{self, class_getSuperclass(g_widget)};
    self = msgSendSuper<id>(&up, op);
    if (self)
        object_setIvar(self, class_getInstanceVariable(g_widget, "tag"), reinterpret_cast<id>(uintptr_t{17}));
    return self;
}

void widgetDealloc(id self, SEL op)
{
    ++g_deallocs;
    objc_super up{self, class_getSuperclass(g_widget)};
    msgSendSuper<void>(&up, op);
}

id widgetEcho(id, SEL, id first, id second) { return second ? second : first; }
id widgetSelf(id self, SEL) { return self; }
id widgetPick(id, SEL, id object) { return object; }

class NSObjectTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_widget = objc_allocateClassPair(qvcompat::foundation::NSObjectClass(), uniqueName("QVWidget").c_str(), 0);
        class_addIvar(g_widget, "tag", sizeof(id), 3, "^v");
        objc::addMethod(g_widget, sel("init"), &widgetInit, "@@:");
        objc::addMethod(g_widget, sel("dealloc"), &widgetDealloc, "v@:");
        objc::addMethod(g_widget, sel("echo:or:"), &widgetEcho, "@@:@@");
        objc::addMethod(g_widget, sel("me"), &widgetSelf, "@@:");
        objc::addMethod(g_widget, sel("pick:"), &widgetPick, "@@:@");
        objc_registerClassPair(g_widget);
    }

    static uintptr_t tagOf(id object)
    {
        return reinterpret_cast<uintptr_t>(object_getIvar(object, class_getInstanceVariable(g_widget, "tag")));
    }
};

TEST_F(NSObjectTest, NewRunsTheSubclassesInitAndReleaseItsDealloc)
{
    g_deallocs = 0;
    id widget = msgSend<id>(g_widget, sel("new"));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(tagOf(widget), 17u);
    id allocated = msgSend<id>(msgSend<id>(g_widget, sel("alloc")), sel("init"));
    EXPECT_EQ(tagOf(allocated), 17u);
    msgSend<void>(allocated, sel("release"));
    EXPECT_EQ(g_deallocs, 1);
    msgSend<id>(widget, sel("retain"));
    msgSend<void>(widget, sel("release"));
    EXPECT_EQ(g_deallocs, 1);
    msgSend<void>(widget, sel("release"));
    EXPECT_EQ(g_deallocs, 2);
}

TEST_F(NSObjectTest, AnswersQuestionsAboutItsClass)
{
    Class nsObject = objc_getClass("NSObject");
    ASSERT_EQ(nsObject, qvcompat::foundation::NSObjectClass());
    id widget = msgSend<id>(g_widget, sel("new"));
    EXPECT_EQ(msgSend<Class>(widget, sel("class")), g_widget);
    EXPECT_EQ(msgSend<Class>(widget, sel("superclass")), nsObject);
    EXPECT_EQ(msgSend<Class>(g_widget, sel("class")), g_widget);
    EXPECT_EQ(msgSend<Class>(nsObject, sel("superclass")), nullptr);

    struct KindCase {
        const char* selector;
        Class cls;
        BOOL expected;
    } cases[] = {
        {"isKindOfClass:", g_widget, YES},
        {"isKindOfClass:", nsObject, YES},
        {"isKindOfClass:", qvcompat::foundation::NSStringClass(), NO},
        {"isKindOfClass:", nullptr, NO},
        {"isMemberOfClass:", g_widget, YES},
        {"isMemberOfClass:", nsObject, NO},
    };
    for (const KindCase& c : cases)
        EXPECT_EQ(msgSend<BOOL>(widget, sel(c.selector), c.cls), c.expected)
            << c.selector << " " << class_getName(c.cls);

    EXPECT_TRUE(msgSend<BOOL>(widget, sel("respondsToSelector:"), sel("echo:or:")));
    EXPECT_TRUE(msgSend<BOOL>(widget, sel("respondsToSelector:"), sel("retain")));
    EXPECT_FALSE(msgSend<BOOL>(widget, sel("respondsToSelector:"), sel("alloc")));
    EXPECT_TRUE(msgSend<BOOL>(g_widget, sel("respondsToSelector:"), sel("alloc"))) << "a class answers for its class";
    EXPECT_FALSE(msgSend<BOOL>(g_widget, sel("respondsToSelector:"), sel("echo:or:")));
    objc_release(widget);
}

TEST_F(NSObjectTest, PerformSelectorSendsWithNoneOneOrTwoObjects)
{
    id widget = msgSend<id>(g_widget, sel("new"));
    id other = msgSend<id>(objc_getClass("NSObject"), sel("new"));
    EXPECT_EQ(msgSend<id>(widget, sel("performSelector:"), sel("me")), widget);
    EXPECT_EQ(msgSend<id>(widget, sel("performSelector:withObject:"), sel("pick:"), other), other);
    EXPECT_EQ(msgSend<id>(widget, sel("performSelector:withObject:withObject:"), sel("echo:or:"), widget, other),
              other);
    EXPECT_EQ(msgSend<id>(widget, sel("performSelector:withObject:withObject:"), sel("echo:or:"), widget, nil), widget);
    objc_release(other);
    objc_release(widget);
}

TEST_F(NSObjectTest, DescriptionNamesTheClass)
{
    void* pool = objc_autoreleasePoolPush();
    id widget = msgSend<id>(g_widget, sel("new"));
    id text = msgSend<id>(widget, sel("description"));
    const std::string described = msgSend<const char*>(text, sel("UTF8String"));
    EXPECT_EQ(described.rfind("<" + std::string(class_getName(g_widget)) + ": 0x", 0), 0u) << described;
    id classText = msgSend<id>(g_widget, sel("description"));
    EXPECT_STREQ(msgSend<const char*>(classText, sel("UTF8String")), class_getName(g_widget));
    objc_release(widget);
    objc_autoreleasePoolPop(pool);
}

}  // namespace
