#include "GP/ClassFactory.h"
#include "GP/ObjcIvar.h"

#include <Foundation/Foundation.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace {

using objc::msgSend;
using objc::msgSendSuper;
using QV::GP::OBJC::ClassFactory;

SEL sel(const char* name) { return sel_registerName(name); }

// A base name that no other test uses.
std::string freshName(const char* stem)
{
    static std::atomic<int> s_next{0};
    return std::string("QVFactoryTest") + stem + std::to_string(s_next++);
}

TEST(ClassFactory, AFreeNameIsUsedAndATakenOneIsNumbered)
{
    const std::string base = freshName("Menu");
    std::vector<objc_class*> classes(4, nullptr);
    std::vector<std::unique_ptr<ClassFactory>> factories;
    const std::string expected[] = {base, base + "0001", base + "0002", base + "0003"};
    for (size_t i = 0; i < classes.size(); ++i) {
        factories.push_back(std::make_unique<ClassFactory>(classes[i]));
        ASSERT_TRUE(factories[i]->generateUniqueClass(base.c_str(), "NSObject"));
        EXPECT_STREQ(factories[i]->getClassName(), expected[i].c_str());
        // The last one stays unregistered: a pending name counts as taken too.
        if (i < 2) {
            EXPECT_TRUE(factories[i]->doRegister());
        }
    }
    EXPECT_EQ(objc_getClass(expected[1].c_str()), classes[1]);
    EXPECT_EQ(objc_getClass(expected[2].c_str()), nullptr) << "not registered";
}

TEST(ClassFactory, WithoutTheSuperclassNothingIsMade)
{
    objc_class* cls = nullptr;
    ClassFactory factory(cls);
    EXPECT_FALSE(factory.generateUniqueClass(freshName("Orphan").c_str(), "QVNoSuchSuperclass"));
    EXPECT_EQ(cls, nullptr);
    EXPECT_EQ(factory.getClassName(), nullptr);
    EXPECT_FALSE(factory.addMemberVar("pImpl", 8, 3, "^v"));
    EXPECT_FALSE(factory.addMethod(sel("init"), reinterpret_cast<IMP>(+[](id self, SEL) { return self; }), "@@:"));
    EXPECT_FALSE(factory.addProtocol("NSObject"));
    EXPECT_FALSE(factory.doRegister());
    EXPECT_FALSE(factory.generateUniqueClass("", "NSObject"));
}

TEST(ClassFactory, MakesOneClassAndRegistersItOnce)
{
    objc_class* cls = nullptr;
    ClassFactory factory(cls);
    ASSERT_TRUE(factory.generateUniqueClass(freshName("Once").c_str(), "NSObject"));
    objc_class* first = cls;
    EXPECT_FALSE(factory.generateUniqueClass(freshName("Twice").c_str(), "NSObject")) << "the target holds one";
    EXPECT_EQ(cls, first);
    EXPECT_TRUE(factory.doRegister());
    EXPECT_FALSE(factory.doRegister());
    EXPECT_FALSE(factory.addMemberVar("late", 4, 2, "I")) << "the layout is fixed";
}

TEST(ClassFactory, AdoptsRegisteredProtocols)
{
    const std::string protocolName = freshName("Delegate");
    Protocol* protocol = objc_allocateProtocol(protocolName.c_str());
    objc_registerProtocol(protocol);
    objc_class* cls = nullptr;
    ClassFactory factory(cls);
    ASSERT_TRUE(factory.generateUniqueClass(freshName("Adopter").c_str(), "NSObject"));
    EXPECT_TRUE(factory.addProtocol(protocolName.c_str()));
    EXPECT_FALSE(factory.addProtocol(protocolName.c_str())) << "adopted already";
    EXPECT_FALSE(factory.addProtocol("QVNoSuchProtocol"));
    EXPECT_TRUE(factory.doRegister());
    EXPECT_TRUE(class_conformsToProtocol(cls, protocol));
}

// ---- a notification class as the UI layer builds it ----

objc_class* g_notification = nullptr;

id initWithCodeAndDest(id self, SEL, uint32_t code, uint32_t dest)
{
    objc_super up{self, class_getSuperclass(g_notification)};
    self = msgSendSuper<id>(&up, sel("init"));
    QV::GP::OBJC::setIvarUInt32(self, "theCode", code);
    QV::GP::OBJC::setIvarUInt32(self, "theDest", dest);
    return self;
}

uint32_t sum(id self, SEL)
{
    return QV::GP::OBJC::getIvarUInt32(self, "theCode") + QV::GP::OBJC::getIvarUInt32(self, "theDest");
}

TEST(ClassFactory, IvarsAndMethodsAreReachedByMessages)
{
    ClassFactory factory(g_notification);
    ASSERT_TRUE(factory.generateUniqueClass(freshName("AsyncNotification").c_str(), "NSObject"));
    EXPECT_TRUE(factory.addMemberVar("theCode", sizeof(uint32_t), 2, "I"));
    EXPECT_TRUE(factory.addMemberVar("theDest", sizeof(uint32_t), 2, "I"));
    EXPECT_FALSE(factory.addMemberVar("theDest", sizeof(uint32_t), 2, "I"));
    EXPECT_TRUE(
        factory.addMethod(sel("initWithCode:andDest:"), reinterpret_cast<IMP>(&initWithCodeAndDest), "@@:@:I:I:"));
    EXPECT_TRUE(factory.addMethod(sel("sum"), reinterpret_cast<IMP>(&sum), "I@:"));
    EXPECT_FALSE(factory.addMethod(sel("sum"), reinterpret_cast<IMP>(&sum), "I@:"));
    ASSERT_TRUE(factory.doRegister());

    id notification = msgSend<id>(g_notification, sel("alloc"));
    notification = msgSend<id, uint32_t, uint32_t>(notification, sel("initWithCode:andDest:"), 1300, 7);
    ASSERT_NE(notification, nullptr);
    EXPECT_EQ(QV::GP::OBJC::getIvarUInt32(notification, "theCode"), 1300u);
    EXPECT_EQ(msgSend<uint32_t>(notification, sel("sum")), 1307u);
    EXPECT_STREQ(method_getTypeEncoding(class_getInstanceMethod(g_notification, sel("initWithCode:andDest:"))),
                 "@@:@:I:I:");
    objc_release(notification);
}

// ---- a base class whose C++ code sends to self, and a subclass made by a second factory ----

objc_class* g_base = nullptr;
objc_class* g_derived = nullptr;
int g_derivedInits = 0;

uint32_t baseWeight(id, SEL) { return 1; }
uint32_t baseDoubled(id self, SEL) { return 2 * msgSend<uint32_t>(self, sel("weight")); }
uint32_t derivedWeight(id self, SEL op)
{
    objc_super up{self, class_getSuperclass(g_derived)};
    return 20 + msgSendSuper<uint32_t>(&up, op);
}
id derivedInit(id self, SEL op)
{
    ++g_derivedInits;
    objc_super up{self, class_getSuperclass(g_derived)};
    return msgSendSuper<id>(&up, op);
}

TEST(ClassFactory, ASubclassOverrideIsReachedFromTheBase)
{
    ClassFactory baseFactory(g_base);
    ASSERT_TRUE(baseFactory.generateUniqueClass(freshName("Base").c_str(), "NSObject"));
    baseFactory.addMethod(sel("weight"), reinterpret_cast<IMP>(&baseWeight), "I@:");
    baseFactory.addMethod(sel("doubled"), reinterpret_cast<IMP>(&baseDoubled), "I@:");
    ASSERT_TRUE(baseFactory.doRegister());
    ClassFactory derivedFactory(g_derived);
    ASSERT_TRUE(derivedFactory.generateUniqueClass(freshName("Derived").c_str(), baseFactory.getClassName()));
    derivedFactory.addMethod(sel("weight"), reinterpret_cast<IMP>(&derivedWeight), "I@:");
    derivedFactory.addMethod(sel("init"), reinterpret_cast<IMP>(&derivedInit), "@@:");
    ASSERT_TRUE(derivedFactory.doRegister());

    g_derivedInits = 0;
    id base = msgSend<id>(g_base, sel("new"));
    id derived = msgSend<id>(g_derived, sel("new"));  // NSObject's +new reaches the subclass's -init
    EXPECT_EQ(g_derivedInits, 1);
    EXPECT_EQ(msgSend<uint32_t>(base, sel("doubled")), 2u);
    EXPECT_EQ(msgSend<uint32_t>(derived, sel("doubled")), 42u);
    EXPECT_TRUE(msgSend<BOOL>(derived, sel("isKindOfClass:"), static_cast<Class>(g_base)));
    objc_release(base);
    objc_release(derived);
}

uint32_t answer(id, SEL) { return 42; }

TEST(ClassFactory, TheDestructorDisposesOfTheClassOnceItsInstancesAreGone)
{
    objc_class* cls = nullptr;
    std::string name;
    id survivor = nullptr;
    {
        ClassFactory factory(cls);
        ASSERT_TRUE(factory.generateUniqueClass(freshName("Temporary").c_str(), "NSObject"));
        factory.addMethod(sel("answer"), reinterpret_cast<IMP>(&answer), "I@:");
        factory.doRegister();
        name = factory.getClassName();
        survivor = msgSend<id>(cls, sel("new"));
    }
    EXPECT_EQ(cls, nullptr);
    EXPECT_EQ(objc_getClass(name.c_str()), nullptr);
    EXPECT_EQ(msgSend<uint32_t>(survivor, sel("answer")), 42u) << "the class lives on with its instance";
    objc_release(survivor);  // the class goes now (the sanitizer build checks the memory)

    objc_class* again = nullptr;
    ClassFactory factory(again);
    ASSERT_TRUE(factory.generateUniqueClass(name.c_str(), "NSObject"));
    EXPECT_EQ(name, factory.getClassName()) << "the name is free again";
}

}  // namespace
