// Reference counts, -dealloc at the last release, and autorelease pools.
#include "ObjcTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using objc::msgSend;
using qvcompat::test::makeCounted;
using qvcompat::test::sel;

TEST(ReferenceCount, DeallocComesWithTheLastRelease)
{
    int deallocs = 0;
    id object = makeCounted(&deallocs);
    EXPECT_EQ(msgSend<NSUInteger>(object, sel("retainCount")), 1u);
    EXPECT_EQ(objc_retain(object), object);
    EXPECT_EQ(msgSend<id>(object, sel("retain")), object);
    EXPECT_EQ(msgSend<NSUInteger>(object, sel("retainCount")), 3u);
    objc_release(object);
    msgSend<void>(object, sel("release"));
    EXPECT_EQ(deallocs, 0);
    EXPECT_EQ(objc::rootRetainCount(object), 1u);
    objc_release(object);
    EXPECT_EQ(deallocs, 1);
}

TEST(ReferenceCount, ClassObjectsAreNotCounted)
{
    Class cls = objc_getClass("NSObject");
    EXPECT_EQ(objc_retain(cls), cls);
    objc_release(cls);
    objc_release(cls);
    EXPECT_EQ(msgSend<NSUInteger>(cls, sel("retainCount")), NSUIntegerMax);
    EXPECT_EQ(msgSend<Class>(cls, sel("class")), cls) << "still there";
}

TEST(ReferenceCount, NilIsAcceptedEverywhere)
{
    EXPECT_EQ(objc_retain(nil), nullptr);
    objc_release(nil);
    EXPECT_EQ(objc_autorelease(nil), nullptr);
    EXPECT_FALSE(objc::rootRelease(nil));
}

// A root class without any method: the runtime's own counting applies.
TEST(ReferenceCount, ARootClassWithoutMethodsIsCountedByTheRuntime)
{
    Class bare = objc_allocateClassPair(Nil, qvcompat::test::uniqueName("QVBareRoot").c_str(), 0);
    objc_registerClassPair(bare);
    id object = class_createInstance(bare, 16);
    objc_retain(object);
    EXPECT_EQ(objc::rootRetainCount(object), 2u);
    objc_release(object);
    objc_release(object);  // no -dealloc: the runtime frees it (the sanitizer build checks)
    objc_disposeClassPair(bare);
}

using ReferenceCountDeathTest = ::testing::Test;

TEST(ReferenceCountDeathTest, AReleaseAfterTheLastIsReported)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Keep the memory: the instance's -dealloc does nothing, so the extra release meets a count of 0.
    Class cls = objc_allocateClassPair(objc_getClass("NSObject"), qvcompat::test::uniqueName("QVKept").c_str(), 0);
    objc::addMethod(
        cls, sel("dealloc"), +[](id, SEL) {}, "v@:");
    objc_registerClassPair(cls);
    id object = msgSend<id>(cls, sel("new"));
    objc_release(object);
    EXPECT_DEATH(objc_release(object), "released after its last reference");
    object_dispose(object);
}

TEST(AutoreleasePool, PopReleasesWhatWasAutoreleasedSincePush)
{
    int deallocs = 0;
    void* outer = objc_autoreleasePoolPush();
    id kept = makeCounted(&deallocs);
    objc_autorelease(objc_retain(kept));
    {
        void* pool = objc_autoreleasePoolPush();
        msgSend<id>(makeCounted(&deallocs), sel("autorelease"));
        objc_autoreleasePoolPop(pool);
    }
    EXPECT_EQ(deallocs, 1) << "the inner pool's object";
    EXPECT_EQ(objc::rootRetainCount(kept), 2u);
    objc_autoreleasePoolPop(outer);
    EXPECT_EQ(deallocs, 1);
    EXPECT_EQ(objc::rootRetainCount(kept), 1u);
    objc_release(kept);
    EXPECT_EQ(deallocs, 2);
}

TEST(AutoreleasePool, AnObjectAutoreleasedTwiceIsReleasedTwice)
{
    int deallocs = 0;
    void* pool = objc_autoreleasePoolPush();
    id object = makeCounted(&deallocs);
    objc_retain(object);
    objc_autorelease(object);
    objc_autorelease(object);
    objc_autoreleasePoolPop(pool);
    EXPECT_EQ(deallocs, 1);
}

TEST(AutoreleasePool, PoppingAnOuterPoolPopsTheInnerOnes)
{
    int deallocs = 0;
    void* outer = objc_autoreleasePoolPush();
    void* inner = objc_autoreleasePoolPush();
    objc_autorelease(makeCounted(&deallocs));
    objc_autoreleasePoolPop(outer);
    EXPECT_EQ(deallocs, 1);
    ::testing::internal::CaptureStderr();
    objc_autoreleasePoolPop(inner);  // gone with the outer one
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("is not on this thread's stack"), std::string::npos);
}

// -dealloc that autoreleases: what it autoreleases is drained by the same pop.
Class g_chainClass = nullptr;
int* g_chainDeallocs = nullptr;

void chainDealloc(id self, SEL op)
{
    ++*g_chainDeallocs;
    objc_autorelease(makeCounted(g_chainDeallocs));
    objc_super up{self, class_getSuperclass(g_chainClass)};
    objc::msgSendSuper<void>(&up, op);
}

TEST(AutoreleasePool, WhatADeallocAutoreleasesIsDrainedToo)
{
    int deallocs = 0;
    g_chainDeallocs = &deallocs;
    g_chainClass = objc_allocateClassPair(objc_getClass("NSObject"), qvcompat::test::uniqueName("QVChain").c_str(), 0);
    objc::addMethod(g_chainClass, sel("dealloc"), &chainDealloc, "v@:");
    objc_registerClassPair(g_chainClass);
    void* pool = objc_autoreleasePoolPush();
    objc_autorelease(msgSend<id>(g_chainClass, sel("new")));
    objc_autoreleasePoolPop(pool);
    EXPECT_EQ(deallocs, 2);
    objc_disposeClassPair(g_chainClass);
}

TEST(AutoreleasePool, WithoutAPoolTheObjectIsReportedAndLeftAlone)
{
    int deallocs = 0;
    id object = makeCounted(&deallocs);
    ::testing::internal::CaptureStderr();
    std::thread([object] { objc_autorelease(object); }).join();  // a new thread has no pool
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("autoreleased with no pool in place"), std::string::npos);
    EXPECT_EQ(deallocs, 0);
    objc_release(object);
    EXPECT_EQ(deallocs, 1);
}

TEST(AutoreleasePool, AThreadsPoolsArePoppedWhenItEnds)
{
    int deallocs = 0;
    std::thread([&deallocs] {
        objc_autoreleasePoolPush();
        objc_autoreleasePoolPush();
        objc_autorelease(makeCounted(&deallocs));
        objc_autorelease(makeCounted(&deallocs));
    }).join();
    EXPECT_EQ(deallocs, 2);
}

TEST(AutoreleasePool, NSAutoreleasePoolsNestPerThread)
{
    int deallocs = 0;
    Class poolClass = objc_getClass("NSAutoreleasePool");
    id outer = msgSend<id>(msgSend<id>(poolClass, sel("alloc")), sel("init"));
    msgSend<id>(makeCounted(&deallocs), sel("autorelease"));
    id inner = msgSend<id>(poolClass, sel("new"));
    msgSend<id>(makeCounted(&deallocs), sel("autorelease"));
    msgSend<void>(inner, sel("drain"));
    EXPECT_EQ(deallocs, 1);
    msgSend<void>(outer, sel("release"));
    EXPECT_EQ(deallocs, 2);
}

}  // namespace
