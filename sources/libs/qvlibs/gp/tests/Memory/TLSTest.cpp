#include "GP/TLS.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace {

using QV::GP::TLS;

// Stand-ins for the system calls: the key they hand out, whether they refuse, and a log.
struct FakeKeys {
    static pthread_key_t s_next;
    static int s_createResult;
    static int s_creates;
    static std::vector<pthread_key_t> s_removed;

    static int create(pthread_key_t* key, void (*)(void*))
    {
        ++s_creates;
        if (s_createResult == 0)
            *key = s_next;
        return s_createResult;
    }
    static int remove(pthread_key_t key)
    {
        s_removed.push_back(key);
        return 0;
    }
};
pthread_key_t FakeKeys::s_next = 0;
int FakeKeys::s_createResult = 0;
int FakeKeys::s_creates = 0;
std::vector<pthread_key_t> FakeKeys::s_removed;

class TLSWithFakeKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeKeys::s_next = 0;
        FakeKeys::s_createResult = 0;
        FakeKeys::s_creates = 0;
        FakeKeys::s_removed.clear();
        m_previous = TLS::setKeyCalls({FakeKeys::create, FakeKeys::remove});
    }
    void TearDown() override
    {
        TLS::deInit();
        TLS::setKeyCalls(m_previous);
    }

    TLS::tKeyCalls m_previous{};
};

TEST_F(TLSWithFakeKeys, KeyZeroIsARealKey)
{
    FakeKeys::s_next = 0;
    TLS::init();
    EXPECT_TRUE(TLS::isInitialized());
    EXPECT_TRUE(TLS::hasKey());
    EXPECT_EQ(TLS::getKey(), 0u);
    TLS::deInit();
    EXPECT_EQ(FakeKeys::s_removed, std::vector<pthread_key_t>{0}) << "key 0 was leaked";
    EXPECT_FALSE(TLS::hasKey());
    EXPECT_FALSE(TLS::isInitialized());
}

TEST_F(TLSWithFakeKeys, ARefusedKeyStillStartsTheModule)
{
    FakeKeys::s_createResult = EAGAIN;
    FakeKeys::s_next = 5;
    TLS::init();
    EXPECT_TRUE(TLS::isInitialized());
    EXPECT_FALSE(TLS::hasKey());
    EXPECT_EQ(TLS::getKey(), 0u);
    TLS::deInit();
    EXPECT_TRUE(FakeKeys::s_removed.empty()) << "deleted a key it never had";
}

TEST_F(TLSWithFakeKeys, OnlyTheFirstInitCreates)
{
    FakeKeys::s_next = 3;
    TLS::init();
    TLS::init();
    EXPECT_EQ(FakeKeys::s_creates, 1);
    EXPECT_EQ(TLS::getKey(), 3u);
    TLS::deInit();
    TLS::deInit();
    EXPECT_EQ(FakeKeys::s_removed.size(), 1u);
}

TEST(TLS, MakesAndDeletesASystemKey)
{
    TLS::init();
    ASSERT_TRUE(TLS::hasKey());
    const pthread_key_t key = TLS::getKey();
    int value = 0;
    EXPECT_EQ(pthread_setspecific(key, &value), 0);
    EXPECT_EQ(pthread_getspecific(key), &value);
    TLS::deInit();
    EXPECT_EQ(pthread_setspecific(key, &value), EINVAL) << "the key was not deleted";
}

}  // namespace
