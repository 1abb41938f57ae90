// The runtime's tables and counts under threads that make classes, selectors and sends at once.
#include "ObjcTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using objc::msgSend;
using qvcompat::test::sel;

constexpr int kThreads = 8;

template <class Body>
void runThreads(Body body)
{
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&go, &body, t] {
            while (!go.load())
                std::this_thread::yield();
            body(t);
        });
    go = true;
    for (std::thread& thread : threads)
        thread.join();
}

long indexOf(id self, SEL)
{
    return reinterpret_cast<long>(object_getIvar(self, class_getInstanceVariable(object_getClass(self), "index")));
}

TEST(RuntimeThreads, SelectorsAreTheSameOnEveryThread)
{
    constexpr int kNames = 200;
    std::vector<std::vector<SEL>> seen(kThreads);
    runThreads([&seen](int t) {
        for (int i = 0; i < kNames; ++i) {
            const int n = (i + t * 37) % kNames;  // every thread in another order
            seen[t].resize(kNames);
            seen[t][n] = sel_registerName(("threadSelector" + std::to_string(n) + ":").c_str());
        }
    });
    for (int t = 1; t < kThreads; ++t)
        EXPECT_EQ(seen[t], seen[0]);
    EXPECT_EQ(std::set<SEL>(seen[0].begin(), seen[0].end()).size(), size_t{kNames});
}

TEST(RuntimeThreads, ClassesAreMadeUsedAndDisposedOnManyThreads)
{
    const std::string prefix = qvcompat::test::uniqueName("QVThreadClass");
    std::atomic<int> failures{0};
    runThreads([&](int t) {
        for (int i = 0; i < 25; ++i) {
            const std::string name = prefix + "_" + std::to_string(t) + "_" + std::to_string(i);
            Class cls = objc_allocateClassPair(objc_getClass("NSObject"), name.c_str(), 0);
            if (!cls || !class_addIvar(cls, "index", sizeof(long), 3, "q") ||
                !objc::addMethod(cls, sel("index"), &indexOf, "q@:")) {
                ++failures;
                continue;
            }
            objc_registerClassPair(cls);
            id object = msgSend<id>(cls, sel("new"));
            object_setIvar(object, class_getInstanceVariable(cls, "index"), reinterpret_cast<id>(long{i}));
            if (objc_getClass(name.c_str()) != cls || msgSend<long>(object, sel("index")) != i)
                ++failures;
            objc_disposeClassPair(cls);  // deferred until the release below
            objc_release(object);
        }
    });
    EXPECT_EQ(failures.load(), 0);
}

TEST(RuntimeThreads, OneThreadWinsARaceForAName)
{
    const std::string name = qvcompat::test::uniqueName("QVContested");
    std::atomic<int> winners{0};
    std::vector<Class> made(kThreads, nullptr);
    runThreads([&](int t) {
        made[t] = objc_allocateClassPair(objc_getClass("NSObject"), name.c_str(), 0);
        if (made[t])
            ++winners;
    });
    EXPECT_EQ(winners.load(), 1);
    for (Class cls : made)
        if (cls)
            objc_disposeClassPair(cls);
}

TEST(RuntimeThreads, RetainAndReleaseFromManyThreadsKeepTheCount)
{
    int deallocs = 0;
    id object = qvcompat::test::makeCounted(&deallocs);
    runThreads([object](int) {
        for (int i = 0; i < 2000; ++i) {
            objc_retain(object);
            void* pool = objc_autoreleasePoolPush();
            objc_autorelease(objc_retain(object));
            objc_release(object);
            objc_autoreleasePoolPop(pool);
        }
    });
    EXPECT_EQ(objc::rootRetainCount(object), 1u);
    EXPECT_EQ(deallocs, 0);
    objc_release(object);
    EXPECT_EQ(deallocs, 1);
}

}  // namespace
