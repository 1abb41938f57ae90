// The one way of defining a stand-in class: the instance state made by -init and deleted by -dealloc,
// reached from subclasses the program makes at run time, and cached selectors.
#include "ObjcTestSupport.h"

#include <Foundation/ClassDefinition.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

using objc::msgSend;
using qvcompat::foundation::ClassDefinition;
using qvcompat::foundation::InstanceState;
using qvcompat::test::sel;
using qvcompat::test::uniqueName;

// What happened to the states, in order.
std::vector<std::string> g_events;

struct tGadget {
    tGadget() { g_events.push_back("made"); }
    tGadget(const tGadget&) = delete;
    tGadget& operator=(const tGadget&) = delete;
    ~tGadget()
    {
        g_events.push_back("deleted");
        objc_release(held);
    }

    int value = 0;
    id held = nil;  // retained
};

using GadgetState = InstanceState<tGadget>;

void setValue(id self, SEL, int value) { GadgetState::of(self).value = value; }
int value(id self, SEL) { return GadgetState::of(self).value; }
void hold(id self, SEL, id object) { GadgetState::of(self).held = objc_retain(object); }

Class gadgetClass()
{
    static const Class s_class = ClassDefinition(uniqueName("QVGadget").c_str(), objc_getClass("NSObject"))
                                     .state<tGadget>()
                                     .method("setValue:", &setValue, "v@:i")
                                     .method("value", &value, "i@:")
                                     .method("hold:", &hold, "v@:@")
                                     .registerClass();
    return s_class;
}

// A subclass made by the program at run time, overriding -init and -dealloc and adding an ivar.
Class g_derived = Nil;

id derivedInit(id self, SEL op)
{
    objc_super up{self, gadgetClass()};
    self = objc::msgSendSuper<id>(&up, op);
    g_events.push_back(GadgetState::find(self) ? "derived init after state" : "derived init without state");
    return self;
}

void derivedDealloc(id self, SEL op)
{
    g_events.push_back(GadgetState::find(self) ? "derived dealloc before state goes" : "derived dealloc too late");
    objc_super up{self, gadgetClass()};
    objc::msgSendSuper<void>(&up, op);
}

Class derivedClass()
{
    if (!g_derived) {
        g_derived = objc_allocateClassPair(gadgetClass(), uniqueName("QVDerivedGadget").c_str(), 0);
        class_addIvar(g_derived, "extra", sizeof(int), 2, "i");
        objc::addMethod(g_derived, sel("init"), &derivedInit, "@@:");
        objc::addMethod(g_derived, sel("dealloc"), &derivedDealloc, "v@:");
        objc_registerClassPair(g_derived);
    }
    return g_derived;
}

id make(Class cls) { return msgSend<id>(msgSend<id>(cls, sel("alloc")), sel("init")); }

TEST(ClassDefinition, StateIsMadeByInitAndDeletedByDeallocAlsoUnderARunTimeSubclass)
{
    struct {
        const char* what;
        Class (*cls)();
        std::vector<std::string> events;
    } const cases[] = {
        {"the class itself", &gadgetClass, {"made", "deleted"}},
        {"a run-time subclass",
         &derivedClass,
         {"made", "derived init after state", "derived dealloc before state goes", "deleted"}},
    };
    for (const auto& c : cases) {
        g_events.clear();
        int deallocs = 0;
        id gadget = make(c.cls());
        ASSERT_NE(gadget, nil) << c.what;
        msgSend<void, int>(gadget, sel("setValue:"), 42);
        EXPECT_EQ(msgSend<int>(gadget, sel("value")), 42) << c.what;
        id held = qvcompat::test::makeCounted(&deallocs);
        msgSend<void, id>(gadget, sel("hold:"), held);
        objc_release(held);
        EXPECT_EQ(deallocs, 0) << c.what << ": the state holds it";
        objc_release(gadget);
        EXPECT_EQ(deallocs, 1) << c.what << ": the state's destructor released it";
        EXPECT_EQ(g_events, c.events) << c.what;
    }
}

TEST(ClassDefinition, StatesOfTwoInstancesAreTheirOwn)
{
    id first = make(gadgetClass());
    id second = make(derivedClass());
    msgSend<void, int>(first, sel("setValue:"), 1);
    msgSend<void, int>(second, sel("setValue:"), 2);
    EXPECT_EQ(msgSend<int>(first, sel("value")), 1);
    EXPECT_EQ(msgSend<int>(second, sel("value")), 2);
    objc_release(first);
    objc_release(second);
}

TEST(ClassDefinitionDeathTest, AMessageNeedingTheStateOfAnUninitialisedObjectIsReported)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    id bare = msgSend<id>(gadgetClass(), sel("alloc"));
    EXPECT_EQ(GadgetState::find(bare), nullptr);
    EXPECT_DEATH(msgSend<int>(bare, sel("value")), "has no state: it was not initialised");
    object_dispose(bare);
}

TEST(ClassDefinitionDeathTest, AStateRecordGivenToTwoClassesIsReported)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    gadgetClass();
    EXPECT_DEATH(ClassDefinition(uniqueName("QVSecondGadget").c_str(), objc_getClass("NSObject")).state<tGadget>(),
                 "its state record belongs to class QVGadget");
}

const objc::Selector s_early{"qvEarlySelector:"};

TEST(Selector, IsTheRegisteredSelectorAndStaysTheSame)
{
    const SEL first = s_early;
    EXPECT_EQ(first, sel_registerName("qvEarlySelector:"));
    EXPECT_EQ(static_cast<SEL>(s_early), first);
    EXPECT_STREQ(sel_getName(s_early), "qvEarlySelector:");
}

}  // namespace
