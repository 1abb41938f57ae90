// A class made by a static factory object while the program is being loaded, as the UI layer makes its
// Cocoa classes. This file includes no Foundation header and comes first in the link (file names sort
// it first), so its static object is made before any file that would load Foundation by itself:
// the superclass "NSObject" must already exist through Foundation's early loader.
#include "GP/ClassFactory.h"
#include "GP/ObjcIvar.h"

#include <objc/message.h>

#include <gtest/gtest.h>

namespace {

objc_class* s_listenerClass = nullptr;

uint32_t ping(id self, SEL)
{
    const uint32_t count = QV::GP::OBJC::getIvarUInt32(self, "count") + 1;
    QV::GP::OBJC::setIvarUInt32(self, "count", count);
    return count;
}

struct ListenerClass {
    ListenerClass() : m_factory(s_listenerClass)
    {
        m_bMade = m_factory.generateUniqueClass("ComOrvendalCocoaTestListener", "NSObject") &&
                  m_factory.addMemberVar("count", sizeof(uint32_t), 2, "I") &&
                  m_factory.addMethod(sel_registerName("ping"), reinterpret_cast<IMP>(&ping), "I@:") &&
                  m_factory.doRegister();
    }

    QV::GP::OBJC::ClassFactory m_factory;
    bool m_bMade = false;
} s_listener;

TEST(ClassFactoryAtLoad, MakesItsClassDuringStaticInitialisation)
{
    ASSERT_TRUE(s_listener.m_bMade);
    EXPECT_STREQ(s_listener.m_factory.getClassName(), "ComOrvendalCocoaTestListener");
    id listener = objc::msgSend<id>(s_listenerClass, sel_registerName("new"));
    EXPECT_EQ(objc::msgSend<uint32_t>(listener, sel_registerName("ping")), 1u);
    EXPECT_EQ(objc::msgSend<uint32_t>(listener, sel_registerName("ping")), 2u);
    objc_release(listener);
}

}  // namespace
