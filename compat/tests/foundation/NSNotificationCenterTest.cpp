// Notification centres: which registrations a post reaches, in which order, on which thread, and
// what removal during a post does.
#include "FoundationTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using objc::msgSend;
using qvcompat::test::makeRecorder;
using qvcompat::test::retainCount;
using qvcompat::test::tLog;

NSString* string(const char* text)
{
    return static_cast<NSString*>(
        msgSend<id, const char*>(qvcompat::foundation::NSStringClass(), objc::sel("stringWithUTF8String:"), text));
}

void addObserver(id center, id observer, const char* selector, NSString* name, id sender)
{
    msgSend<void, id, SEL, id, id>(center, objc::sel("addObserver:selector:name:object:"), observer,
                                   objc::sel(selector), name, sender);
}

void post(id center, NSString* name, id sender)
{
    msgSend<void, id, id>(center, objc::sel("postNotificationName:object:"), name, sender);
}

void removeObserver(id center, id observer) { msgSend<void, id>(center, objc::sel("removeObserver:"), observer); }

// A centre of its own per test, the observers' logs and two senders.
class NotificationCenterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pool = objc_autoreleasePoolPush();
        m_center = msgSend<id>(qvcompat::foundation::NSNotificationCenterClass(), objc::sel("new"));
        m_first = makeRecorder(&m_firstLog);
        m_second = makeRecorder(&m_secondLog);
        m_senderA = makeRecorder(&m_unused);
        m_senderB = makeRecorder(&m_unused);
    }
    void TearDown() override
    {
        objc_autoreleasePoolPop(m_pool);
        for (id object : {m_center, m_first, m_second, m_senderA, m_senderB})
            objc_release(object);
    }

    void* m_pool = nullptr;
    id m_center = nil;
    tLog m_firstLog, m_secondLog, m_unused;
    id m_first = nil, m_second = nil, m_senderA = nil, m_senderB = nil;
};

TEST_F(NotificationCenterTest, RegistrationsMatchByNameAndSenderWithNilForAny)
{
    struct tCase {
        const char* registeredName;  // null: any name
        bool registeredSenderA;      // false: any sender
        const char* postedName;
        bool postedSenderA;  // else sender B
        bool delivered;
    };
    const tCase cases[] = {
        // registration       post                     delivered
        {"Ping", true, "Ping", true, true},    {"Ping", true, "Ping", false, false},
        {"Ping", true, "Pong", true, false},   {"Ping", false, "Ping", false, true},
        {nullptr, true, "Pong", true, true},   {nullptr, true, "Pong", false, false},
        {nullptr, false, "Pong", false, true},
    };
    for (const tCase& c : cases) {
        // The name is a string of its own: names match by their characters.
        addObserver(m_center, m_first, "note:", c.registeredName ? string(c.registeredName) : nil,
                    c.registeredSenderA ? m_senderA : nil);
        post(m_center, string(c.postedName), c.postedSenderA ? m_senderA : m_senderB);
        EXPECT_EQ(m_firstLog.size(), c.delivered ? 1u : 0u)
            << (c.registeredName ? c.registeredName : "any") << " posted " << c.postedName;
        if (m_firstLog.size() == 1) {
            id notification = m_firstLog.received[0].argument;
            EXPECT_TRUE(qvcompat::test::hasText(msgSend<id>(notification, objc::sel("name")), c.postedName));
            EXPECT_EQ(msgSend<id>(notification, objc::sel("object")), c.postedSenderA ? m_senderA : m_senderB);
        }
        removeObserver(m_center, m_first);
        m_firstLog.received.clear();
    }
}

TEST_F(NotificationCenterTest, ObserversAreCalledInTheOrderAddedOnThePostingThread)
{
    tLog log;  // one log for both observers, so that it shows their order
    id first = makeRecorder(&log);
    id second = makeRecorder(&log);
    addObserver(m_center, second, "note:", string("Ping"), nil);
    addObserver(m_center, first, "other:", nil, nil);
    addObserver(m_center, second, "other:", nil, m_senderA);
    addObserver(m_center, first, "note:", nil, m_senderB);  // another sender
    std::thread poster([&] {
        void* pool = objc_autoreleasePoolPush();
        post(m_center, string("Ping"), m_senderA);
        objc_autoreleasePoolPop(pool);
    });
    poster.join();

    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log.received[0].selector, "note:");
    EXPECT_EQ(log.received[1].selector, "other:");
    EXPECT_EQ(log.received[2].selector, "other:");
    EXPECT_FALSE(log.received[0].onMainThread);  // delivered synchronously by the poster
    removeObserver(m_center, first);
    removeObserver(m_center, second);
    objc_release(first);
    objc_release(second);
}

TEST_F(NotificationCenterTest, RemovalAndAdditionDuringAPostTakeEffectForThatPostAndTheNext)
{
    // The first observer removes the second and adds a third before the second's turn.
    tLog thirdLog;
    id third = makeRecorder(&thirdLog);
    m_firstLog.onReceive = [&](id, id) {
        removeObserver(m_center, m_second);
        addObserver(m_center, third, "note:", nil, nil);
    };
    addObserver(m_center, m_first, "note:", nil, nil);
    addObserver(m_center, m_second, "note:", nil, nil);

    post(m_center, string("Ping"), nil);
    EXPECT_EQ(m_firstLog.size(), 1u);
    EXPECT_EQ(m_secondLog.size(), 0u);
    EXPECT_EQ(thirdLog.size(), 0u);

    m_firstLog.onReceive = nullptr;
    post(m_center, string("Ping"), nil);
    EXPECT_EQ(thirdLog.size(), 1u);
    removeObserver(m_center, third);
    objc_release(third);
}

TEST_F(NotificationCenterTest, RemovalByNameAndSenderLeavesTheOtherRegistrations)
{
    addObserver(m_center, m_first, "note:", string("Ping"), m_senderA);
    addObserver(m_center, m_first, "other:", string("Pong"), nil);
    msgSend<void, id, id, id>(m_center, objc::sel("removeObserver:name:object:"), m_first, string("Ping"), m_senderB);
    post(m_center, string("Ping"), m_senderA);
    EXPECT_EQ(m_firstLog.size(), 1u);  // another sender: nothing removed

    msgSend<void, id, id, id>(m_center, objc::sel("removeObserver:name:object:"), m_first, string("Ping"), nil);
    post(m_center, string("Ping"), m_senderA);
    post(m_center, string("Pong"), m_senderA);
    ASSERT_EQ(m_firstLog.size(), 2u);
    EXPECT_EQ(m_firstLog.received[1].selector, "other:");
}

TEST_F(NotificationCenterTest, ANotificationHoldsItsSender)
{
    const unsigned long before = retainCount(m_senderA);
    id notification = msgSend<id, id, id>(qvcompat::foundation::NSNotificationClass(),
                                          objc::sel("notificationWithName:object:"), string("Ping"), m_senderA);
    EXPECT_EQ(retainCount(m_senderA), before + 1);
    objc_retain(notification);
    objc_autoreleasePoolPop(m_pool);
    m_pool = objc_autoreleasePoolPush();
    objc_release(notification);
    EXPECT_EQ(retainCount(m_senderA), before);
}

TEST(DefaultNotificationCenter, IsOneCentreForEveryThread)
{
    id center = msgSend<id>(qvcompat::foundation::NSNotificationCenterClass(), objc::sel("defaultCenter"));
    id elsewhere = nil;
    std::thread other([&] {
        elsewhere = msgSend<id>(qvcompat::foundation::NSNotificationCenterClass(), objc::sel("defaultCenter"));
    });
    other.join();
    EXPECT_NE(center, nil);
    EXPECT_EQ(center, elsewhere);
}

}  // namespace
