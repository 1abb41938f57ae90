#include "GP/Registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using QV::GP::Registry;
using testing::_;
using testing::DoAll;
using testing::Return;
using testing::SetArgReferee;
using testing::StrEq;

class MockStore : public Registry::Impl {
public:
    MOCK_METHOD(bool, get, (const char* key, std::vector<std::string>& values, Registry::eGetMode mode), (override));
    MOCK_METHOD(void, shutdown, (), (override));
    MOCK_METHOD(void, destroyed, ());
    ~MockStore() override { destroyed(); }
};

class RegistryTest : public testing::Test {
protected:
    ~RegistryTest() override { Registry::deInit(); }
};

TEST_F(RegistryTest, GetWithoutAStoreAnswersFalse)
{
    ASSERT_FALSE(Registry::isInstalled());
    std::vector<std::string> values = {"untouched"};
    EXPECT_FALSE(Registry::get("AppleLanguages", values, Registry::eGetModeList));
    EXPECT_EQ(values, std::vector<std::string>{"untouched"});
    EXPECT_TRUE(Registry::deInit());  // nothing to stop: still true
}

TEST_F(RegistryTest, GetForwardsToTheStore)
{
    auto store = std::make_unique<testing::StrictMock<MockStore>>();
    EXPECT_CALL(*store, get(StrEq("AppleLanguages"), _, Registry::eGetModeList))
        .WillOnce(DoAll(SetArgReferee<1>(std::vector<std::string>{"de-CH", "en"}), Return(true)));
    EXPECT_CALL(*store, get(StrEq("missing"), _, Registry::eGetModeValue)).WillOnce(Return(false));
    EXPECT_CALL(*store, shutdown());
    EXPECT_CALL(*store, destroyed());
    Registry::install(std::move(store));

    std::vector<std::string> values;
    EXPECT_TRUE(Registry::get("AppleLanguages", values, Registry::eGetModeList));
    EXPECT_EQ(values, (std::vector<std::string>{"de-CH", "en"}));
    EXPECT_FALSE(Registry::get("missing", values, Registry::eGetModeValue));
}

TEST_F(RegistryTest, DeInitShutsDownThenDestroysTheStore)
{
    auto store = std::make_unique<testing::StrictMock<MockStore>>();
    {
        testing::InSequence order;
        EXPECT_CALL(*store, shutdown());
        EXPECT_CALL(*store, destroyed());
    }
    Registry::install(std::move(store));
    EXPECT_TRUE(Registry::deInit());
    EXPECT_FALSE(Registry::isInstalled());
    std::vector<std::string> values;
    EXPECT_FALSE(Registry::get("AppleLanguages", values, Registry::eGetModeList));
    EXPECT_TRUE(Registry::deInit());
}

TEST_F(RegistryTest, InstallingReplacesTheStoreBefore)
{
    auto first = std::make_unique<testing::StrictMock<MockStore>>();
    auto second = std::make_unique<testing::StrictMock<MockStore>>();
    EXPECT_CALL(*first, shutdown());
    EXPECT_CALL(*first, destroyed());
    EXPECT_CALL(*second, get(_, _, _)).WillOnce(Return(true));
    EXPECT_CALL(*second, shutdown());
    EXPECT_CALL(*second, destroyed());
    Registry::install(std::move(first));
    Registry::install(std::move(second));
    std::vector<std::string> values;
    EXPECT_TRUE(Registry::get("k", values, Registry::eGetModeValue));
}

TEST_F(RegistryTest, EveryUseHoldsTheRegistryMutex)
{
    auto store = std::make_unique<testing::NiceMock<MockStore>>();
    std::atomic<bool> called{false};
    ON_CALL(*store, get(_, _, _)).WillByDefault([&called](const char*, std::vector<std::string>&, Registry::eGetMode) {
        called = true;
        return true;
    });
    Registry::install(std::move(store));

    std::thread reader;
    {
        const std::lock_guard<std::recursive_mutex> lock(QV::GP::DETAIL::Autolock::s_mutex);
        reader = std::thread([] {
            std::vector<std::string> values;
            Registry::get("k", values, Registry::eGetModeValue);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(called) << "the store was used while another thread held the mutex";
    }
    reader.join();
    EXPECT_TRUE(called);
}

}  // namespace
