// The method cache behind message sends: once a send has been answered from a class's cache, later
// changes to the classes must still be seen (an override added to a subclass, a method added to a
// superclass, a class disposed and its name taken again), from every thread.
#include "ObjcTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using objc::msgSend;
using objc::msgSendSuper;
using qvcompat::test::sel;
using qvcompat::test::uniqueName;

long base(id, SEL) { return 1; }
long overridden(id, SEL) { return 2; }
long added(id, SEL) { return 3; }

// A root class, a subclass and a sub-subclass, and an instance of the last.
struct tChain {
    tChain()
    {
        root = objc_allocateClassPair(Nil, uniqueName("QVCacheRoot").c_str(), 0);
        objc::addMethod(root, sel("value"), &base, "q@:");
        objc_registerClassPair(root);
        middle = objc_allocateClassPair(root, uniqueName("QVCacheMiddle").c_str(), 0);
        objc_registerClassPair(middle);
        leaf = objc_allocateClassPair(middle, uniqueName("QVCacheLeaf").c_str(), 0);
        objc_registerClassPair(leaf);
        object = class_createInstance(leaf, 0);
    }
    ~tChain()
    {
        object_dispose(object);
        objc_disposeClassPair(leaf);
        objc_disposeClassPair(middle);
        objc_disposeClassPair(root);
    }

    Class root, middle, leaf;
    id object;
};

TEST(MethodCache, AMethodAddedAfterSendsIsSeenByTheNextSend)
{
    // Which class gets which method after the sends have filled the caches, and what the leaf's
    // instance answers then.
    struct {
        const char* what;
        Class tChain::*cls;
        const char* selector;
        long (*function)(id, SEL);
        long expected;
    } const cases[] = {
        {"an override in the instance's own class", &tChain::leaf, "value", &overridden, 2},
        {"an override in a class between", &tChain::middle, "value", &overridden, 2},
        {"a new selector in the root", &tChain::root, "other", &added, 3},
    };
    for (const auto& c : cases) {
        tChain chain;
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(msgSend<long>(chain.object, sel("value")), 1) << c.what;
        EXPECT_FALSE(objc::respondsToSelector(chain.object, sel("other"))) << c.what;
        ASSERT_TRUE(objc::addMethod(chain.*c.cls, sel(c.selector), c.function, "q@:")) << c.what;
        EXPECT_TRUE(objc::respondsToSelector(chain.object, sel(c.selector))) << c.what;
        EXPECT_EQ(msgSend<long>(chain.object, sel(c.selector)), c.expected) << c.what;
        objc_super up{chain.object, chain.middle};
        EXPECT_EQ(msgSendSuper<long>(&up, sel(c.selector)), c.cls == &tChain::leaf ? 1 : c.expected)
            << c.what << ": a super send from the leaf starts above it";
    }
}

TEST(MethodCache, ManySelectorsOfOneClassStayApart)
{
    tChain chain;
    std::vector<std::string> names;
    for (int i = 0; i < 100; ++i)
        names.push_back("selector" + std::to_string(i) + ":");
    auto echo = +[](id, SEL, long value) { return value; };
    auto twice = +[](id, SEL, long value) { return 2 * value; };
    for (size_t i = 0; i < names.size(); ++i)
        objc::addMethod(i % 2 ? chain.middle : chain.root, sel(names[i].c_str()), i % 2 ? twice : echo, "q@:q");
    for (int round = 0; round < 2; ++round)  // the first fills (and grows) the cache, the second reads it
        for (size_t i = 0; i < names.size(); ++i)
            ASSERT_EQ((msgSend<long, long>(chain.object, sel(names[i].c_str()), long(i))),
                      i % 2 ? 2 * long(i) : long(i))
                << names[i] << " round " << round;
}

TEST(MethodCache, ANameTakenAgainAfterDisposalAnswersWithTheNewClassesMethods)
{
    const std::string name = uniqueName("QVCacheReused");
    for (long (*function)(id, SEL) : {&base, &overridden, &added}) {
        Class cls = objc_allocateClassPair(Nil, name.c_str(), 0);
        ASSERT_NE(cls, Nil);
        objc::addMethod(cls, sel("value"), function, "q@:");
        objc_registerClassPair(cls);
        id object = class_createInstance(cls, 0);
        EXPECT_EQ(msgSend<long>(object, sel("value")), function(nil, nullptr));
        EXPECT_EQ(msgSend<long>(object, sel("value")), function(nil, nullptr));
        object_dispose(object);
        objc_disposeClassPair(cls);
    }
}

TEST(MethodCache, SendersOnManyThreadsSeeAnOverrideOnceItIsAdded)
{
    tChain chain;
    constexpr int kSenders = 4;
    std::atomic<bool> overrideAdded{false};
    std::atomic<bool> stop{false};
    std::atomic<int> wrongAfterAdding{0};
    std::atomic<int> unexpected{0};
    std::atomic<int> sendsAfterAdding{0};
    std::vector<std::thread> senders;
    for (int t = 0; t < kSenders; ++t)
        senders.emplace_back([&] {
            while (!stop.load()) {
                const bool added = overrideAdded.load(std::memory_order_acquire);
                const long value = msgSend<long>(chain.object, sel("value"));
                if (value != 1 && value != 2)
                    ++unexpected;
                if (added && value != 2)
                    ++wrongAfterAdding;
                if (added)
                    ++sendsAfterAdding;
            }
        });
    // Other classes change meanwhile (each change starts a new cache generation).
    for (int i = 0; i < 50; ++i) {
        tChain other;
        objc::addMethod(other.leaf, sel("value"), &overridden, "q@:");
        msgSend<long>(other.object, sel("value"));
    }
    objc::addMethod(chain.leaf, sel("value"), &overridden, "q@:");
    overrideAdded.store(true, std::memory_order_release);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (sendsAfterAdding.load() < 1000 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    stop = true;
    for (std::thread& sender : senders)
        sender.join();
    EXPECT_EQ(unexpected.load(), 0);
    EXPECT_EQ(wrongAfterAdding.load(), 0);
    EXPECT_EQ(msgSend<long>(chain.object, sel("value")), 2);
}

TEST(MethodCache, RetainAndReleaseTakeTheClassesOwnMethods)
{
    int deallocs = 0;
    id counted = qvcompat::test::makeCounted(&deallocs);
    objc_retain(counted);
    EXPECT_EQ(msgSend<unsigned long>(counted, sel("retainCount")), 2u);
    objc_release(counted);
    objc_release(counted);
    EXPECT_EQ(deallocs, 1) << "NSObject's -release sent -dealloc of the subclass";
}

}  // namespace
