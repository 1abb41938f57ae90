// Classes, instance variables, methods and protocols made at run time.
#include "ObjcTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

using qvcompat::test::sel;
using qvcompat::test::uniqueName;

Class nsObject() { return objc_getClass("NSObject"); }

int answer(id, SEL) { return 42; }

TEST(ClassPair, IsFoundByNameOnlyOnceRegistered)
{
    const std::string name = uniqueName("QVPending");
    Class cls = objc_allocateClassPair(nsObject(), name.c_str(), 0);
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(objc_getClass(name.c_str()), nullptr);
    EXPECT_EQ(objc_allocateClassPair(nsObject(), name.c_str(), 0), nullptr) << "the name is reserved while built";
    EXPECT_EQ(class_createInstance(cls, 0), nullptr) << "no instances before registration";

    objc_registerClassPair(cls);
    EXPECT_EQ(objc_getClass(name.c_str()), cls);
    EXPECT_EQ(objc_lookUpClass(name.c_str()), cls);
    EXPECT_EQ(objc_allocateClassPair(nsObject(), name.c_str(), 0), nullptr);
    EXPECT_STREQ(class_getName(cls), name.c_str());
    EXPECT_EQ(class_getSuperclass(cls), nsObject());
    EXPECT_TRUE(class_isMetaClass(object_getClass(cls)));
    EXPECT_EQ(objc_getMetaClass(name.c_str()), object_getClass(cls));
    objc_disposeClassPair(cls);
}

TEST(ClassPair, RefusesUnusableArguments)
{
    const std::string name = uniqueName("QVUnusable");
    Class pending = objc_allocateClassPair(nsObject(), name.c_str(), 0);
    EXPECT_EQ(objc_allocateClassPair(pending, "QVChildOfPending", 0), nullptr) << "superclass not registered";
    EXPECT_EQ(objc_allocateClassPair(object_getClass(nsObject()), "QVChildOfMeta", 0), nullptr);
    EXPECT_EQ(objc_allocateClassPair(nsObject(), "", 0), nullptr);
    EXPECT_EQ(objc_allocateClassPair(nsObject(), nullptr, 0), nullptr);
    EXPECT_EQ(objc_getClass(nullptr), nullptr);
    EXPECT_STREQ(class_getName(nullptr), "nil");
    EXPECT_EQ(class_getSuperclass(nullptr), nullptr);
    objc_disposeClassPair(pending);
}

TEST(ClassPair, IvarsGetAlignedOffsetsAndAreFoundByName)
{
    struct IvarCase {
        const char* name;
        size_t size;
        uint8_t alignLog2;
        ptrdiff_t offset;  // after the class pointer at 0
    };
    const IvarCase baseIvars[] = {
        {"flag", 1, 0, 8},
        {"value", 8, 3, 16},
        {"count", 4, 2, 24},
    };
    const IvarCase derivedIvars[] = {
        {"wide", 16, 4, 32},  // aligned up from 28
        {"page", 64, 5, 64},  // beyond malloc's alignment
        {"tail", 2, 1, 128},
    };
    Class base = objc_allocateClassPair(nsObject(), uniqueName("QVIvarBase").c_str(), 0);
    for (const IvarCase& c : baseIvars)
        ASSERT_TRUE(class_addIvar(base, c.name, c.size, c.alignLog2, "?")) << c.name;
    EXPECT_FALSE(class_addIvar(base, "value", 8, 3, "d")) << "a taken name";
    EXPECT_FALSE(class_addIvar(object_getClass(base), "meta", 8, 3, "d")) << "a metaclass has no ivars";
    objc_registerClassPair(base);
    EXPECT_FALSE(class_addIvar(base, "late", 8, 3, "d")) << "the layout is fixed by registration";
    EXPECT_EQ(class_getInstanceSize(base), 28u);

    Class derived = objc_allocateClassPair(base, uniqueName("QVIvarDerived").c_str(), 0);
    EXPECT_FALSE(class_addIvar(derived, "count", 4, 2, "I")) << "the superclass has it";
    for (const IvarCase& c : derivedIvars)
        ASSERT_TRUE(class_addIvar(derived, c.name, c.size, c.alignLog2, "?")) << c.name;
    objc_registerClassPair(derived);
    EXPECT_EQ(class_getInstanceSize(derived), 130u);

    id object = class_createInstance(derived, 0);
    ASSERT_NE(object, nullptr);
    for (const auto* cases : {baseIvars, derivedIvars})
        for (int i = 0; i < 3; ++i) {
            const IvarCase& c = cases[i];
            Ivar ivar = class_getInstanceVariable(derived, c.name);
            ASSERT_NE(ivar, nullptr) << c.name;
            EXPECT_STREQ(ivar_getName(ivar), c.name);
            EXPECT_EQ(ivar_getOffset(ivar), c.offset) << c.name;
            const auto address = reinterpret_cast<uintptr_t>(object) + static_cast<uintptr_t>(ivar_getOffset(ivar));
            EXPECT_EQ(address % (uintptr_t{1} << c.alignLog2), 0u) << c.name;
            const auto* bytes = reinterpret_cast<const unsigned char*>(address);
            for (size_t b = 0; b < c.size; ++b)
                ASSERT_EQ(bytes[b], 0) << c.name << ": a new instance is zeroed";
        }
    EXPECT_EQ(class_getInstanceVariable(derived, "missing"), nullptr);
    EXPECT_EQ(class_getInstanceVariable(base, "wide"), nullptr) << "a superclass does not see its subclass's ivars";
    object_dispose(object);
    objc_disposeClassPair(derived);
    objc_disposeClassPair(base);
}

TEST(ClassPair, ObjectIvarsAreReadAndWrittenWithoutRetaining)
{
    Class cls = objc_allocateClassPair(nsObject(), uniqueName("QVObjectIvar").c_str(), 0);
    class_addIvar(cls, "target", sizeof(id), 3, "@");
    objc_registerClassPair(cls);
    id holder = objc::msgSend<id>(cls, sel("new"));
    id target = objc::msgSend<id>(nsObject(), sel("new"));
    Ivar ivar = class_getInstanceVariable(cls, "target");
    EXPECT_EQ(object_getIvar(holder, ivar), nullptr);
    object_setIvar(holder, ivar, target);
    EXPECT_EQ(object_getIvar(holder, ivar), target);
    EXPECT_EQ(objc::rootRetainCount(target), 1u);
    EXPECT_EQ(object_getIvar(nil, ivar), nullptr);
    objc_release(holder);
    objc_release(target);
    objc_disposeClassPair(cls);
}

TEST(ClassPair, TypeStringsAreKeptAsGiven)
{
    // Encodings as the callers write them, which are not valid platform encodings: never parsed.
    const char* const methodTypes = "@@:@:I:I:";
    const char* const ivarTypes = "{CGSize=dd}x";
    Class cls = objc_allocateClassPair(nsObject(), uniqueName("QVTypes").c_str(), 0);
    ASSERT_TRUE(class_addIvar(cls, "size", 16, 3, ivarTypes));
    ASSERT_TRUE(objc::addMethod(cls, sel("initWithCode:andDest:"), &answer, methodTypes));
    objc_registerClassPair(cls);
    Method method = class_getInstanceMethod(cls, sel("initWithCode:andDest:"));
    ASSERT_NE(method, nullptr);
    EXPECT_STREQ(method_getTypeEncoding(method), methodTypes);
    EXPECT_EQ(method_getName(method), sel("initWithCode:andDest:"));
    EXPECT_EQ(method_getImplementation(method), reinterpret_cast<IMP>(&answer));
    EXPECT_STREQ(ivar_getTypeEncoding(class_getInstanceVariable(cls, "size")), ivarTypes);
    objc_disposeClassPair(cls);
}

TEST(ClassPair, AMethodIsAddedOncePerClassAndMayOverrideAnInheritedOne)
{
    Class base = objc_allocateClassPair(nsObject(), uniqueName("QVMethodBase").c_str(), 0);
    EXPECT_TRUE(objc::addMethod(base, sel("answer"), &answer, "i@:"));
    EXPECT_FALSE(objc::addMethod(base, sel("answer"), &answer, "i@:"));
    EXPECT_FALSE(class_addMethod(base, nullptr, reinterpret_cast<IMP>(&answer), "i@:"));
    EXPECT_FALSE(class_addMethod(base, sel("nothing"), nullptr, "v@:"));
    objc_registerClassPair(base);
    Class derived = objc_allocateClassPair(base, uniqueName("QVMethodDerived").c_str(), 0);
    objc_registerClassPair(derived);
    EXPECT_TRUE(class_respondsToSelector(derived, sel("answer")));
    EXPECT_TRUE(objc::addMethod(derived, sel("answer"), &answer, "i@:")) << "an override, after registration too";
    EXPECT_FALSE(class_respondsToSelector(base, sel("unknown")));
    EXPECT_FALSE(class_respondsToSelector(nullptr, sel("answer")));
    EXPECT_TRUE(class_respondsToSelector(object_getClass(nsObject()), sel("alloc")));
    EXPECT_NE(class_getClassMethod(nsObject(), sel("alloc")), nullptr);
    EXPECT_EQ(class_getInstanceMethod(nsObject(), sel("alloc")), nullptr) << "alloc is a class method";
    objc_disposeClassPair(derived);
    objc_disposeClassPair(base);
}

TEST(Protocol, IsUsableOnceRegisteredAndInherited)
{
    const std::string name = uniqueName("QVDelegateProtocol");
    EXPECT_EQ(objc_getProtocol(name.c_str()), nullptr);
    Protocol* protocol = objc_allocateProtocol(name.c_str());
    ASSERT_NE(protocol, nullptr);
    EXPECT_EQ(objc_allocateProtocol(name.c_str()), nullptr) << "the name is taken";
    EXPECT_EQ(objc_getProtocol(name.c_str()), nullptr) << "not registered yet";

    Class base = objc_allocateClassPair(nsObject(), uniqueName("QVAdopter").c_str(), 0);
    EXPECT_FALSE(class_addProtocol(base, protocol)) << "an unregistered protocol cannot be adopted";
    objc_registerProtocol(protocol);
    EXPECT_EQ(objc_getProtocol(name.c_str()), protocol);
    EXPECT_STREQ(protocol_getName(protocol), name.c_str());
    EXPECT_TRUE(class_addProtocol(base, protocol));
    EXPECT_FALSE(class_addProtocol(base, protocol)) << "adopted already";
    EXPECT_FALSE(class_addProtocol(base, nullptr));
    objc_registerClassPair(base);
    Class derived = objc_allocateClassPair(base, uniqueName("QVAdopterChild").c_str(), 0);
    objc_registerClassPair(derived);
    EXPECT_TRUE(class_conformsToProtocol(derived, protocol));
    EXPECT_FALSE(class_conformsToProtocol(nsObject(), protocol));
    objc_disposeClassPair(derived);
    objc_disposeClassPair(base);
}

TEST(Selector, IsUniquePerName)
{
    SEL a = sel_registerName("frobnicate:with:");
    std::string sameText = "frobnicate:with:";
    EXPECT_EQ(sel_registerName(sameText.c_str()), a);
    EXPECT_EQ(sel_getUid("frobnicate:with:"), a);
    EXPECT_NE(sel_registerName("frobnicate:"), a);
    EXPECT_STREQ(sel_getName(a), "frobnicate:with:");
    EXPECT_TRUE(sel_isEqual(a, objc::sel("frobnicate:with:")));
    EXPECT_EQ(sel_registerName(nullptr), nullptr);
}

// ---- disposal ----

int g_disposedClassCalls = 0;
int countCall(id, SEL) { return ++g_disposedClassCalls; }

TEST(ClassDisposal, WaitsForTheLastInstanceButFreesTheNameAtOnce)
{
    const std::string name = uniqueName("QVDisposedWhileAlive");
    Class cls = objc_allocateClassPair(qvcompat::test::countedClass(), name.c_str(), 0);
    class_addIvar(cls, "payload", 4, 2, "I");
    objc::addMethod(cls, sel("call"), &countCall, "i@:");
    objc_registerClassPair(cls);
    int deallocs = 0;
    id instance = objc::msgSend<id>(cls, sel("new"));
    object_setIvar(instance, class_getInstanceVariable(cls, "counter"), reinterpret_cast<id>(&deallocs));
    id second = objc::msgSend<id>(cls, sel("new"));
    object_setIvar(second, class_getInstanceVariable(cls, "counter"), reinterpret_cast<id>(&deallocs));

    objc_disposeClassPair(cls);
    EXPECT_EQ(objc_getClass(name.c_str()), nullptr);
    Class successor = objc_allocateClassPair(nsObject(), name.c_str(), 0);
    ASSERT_NE(successor, nullptr) << "the name is free again";
    EXPECT_NE(successor, cls);

    // The live instances keep their class, its methods and ivars.
    EXPECT_STREQ(object_getClassName(instance), name.c_str());
    EXPECT_EQ(objc::msgSend<int>(instance, sel("call")), 1);
    EXPECT_NE(class_getInstanceVariable(object_getClass(instance), "payload"), nullptr);
    objc_release(instance);
    EXPECT_EQ(deallocs, 1);
    EXPECT_EQ(objc::msgSend<int>(second, sel("call")), 2);
    objc_release(second);  // the last one: the class goes with it (the sanitizer build checks the memory)
    EXPECT_EQ(deallocs, 2);
    objc_disposeClassPair(successor);
}

int baseValue(id, SEL) { return 7; }

TEST(ClassDisposal, ASubclassKeepsItsDisposedSuperclass)
{
    Class base = objc_allocateClassPair(nsObject(), uniqueName("QVDisposedBase").c_str(), 0);
    objc::addMethod(base, sel("value"), &baseValue, "i@:");
    objc_registerClassPair(base);
    Class derived = objc_allocateClassPair(base, uniqueName("QVLiveDerived").c_str(), 0);
    objc_registerClassPair(derived);
    objc_disposeClassPair(base);

    id object = objc::msgSend<id>(derived, sel("new"));
    EXPECT_EQ(objc::msgSend<int>(object, sel("value")), 7);
    EXPECT_EQ(class_getSuperclass(derived), base);
    objc_release(object);
    objc_disposeClassPair(derived);
}

TEST(ClassDisposal, AnUnregisteredPairCanBeDisposed)
{
    const std::string name = uniqueName("QVNeverRegistered");
    Class cls = objc_allocateClassPair(nsObject(), name.c_str(), 0);
    objc_disposeClassPair(cls);
    Class again = objc_allocateClassPair(nsObject(), name.c_str(), 0);
    EXPECT_NE(again, nullptr);
    objc_disposeClassPair(again);
}

}  // namespace
