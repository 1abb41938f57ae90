#include "GP/CriticalSection.h"
#include "GP/DeviceNotification.h"
#include "GP/VolumeTable.h"

#include <StandInTestHooks/Workspace.h>

#include <glib.h>
#include "QVTest/MainLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using QV::TEST::runMainLoopUntil;

using QV::GP::DeviceNotification;
using QV::GP::DeviceNotificationListener;
using State = DeviceNotificationListener::eState;

using tCall = std::pair<State, std::string>;

// Records its calls and the listener names in one shared log, and runs an action on each call.
class Recorder : public DeviceNotificationListener {
public:
    explicit Recorder(std::string id = "", std::vector<std::string>* order = nullptr)
        : m_id(std::move(id)), m_order(order)
    {}
    void onVolumeChanged(eState state, const std::string& volumeName) override
    {
        m_calls.emplace_back(state, volumeName);
        if (m_order)
            m_order->push_back(m_id);
        if (m_action)
            m_action();
    }

    std::string m_id;
    std::vector<std::string>* m_order;
    std::vector<tCall> m_calls;
    std::function<void()> m_action;
};

class DeviceNotificationTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QV::GP::CriticalSection::staticInit());
        ASSERT_TRUE(DeviceNotification::init());
    }
    void TearDown() override
    {
        for (DeviceNotificationListener* listener : m_added)
            DeviceNotification::removeListener(listener);
        DeviceNotification::deInit();
        QV::GP::CriticalSection::staticDeInit();
    }
    void add(DeviceNotificationListener* listener)
    {
        DeviceNotification::addListener(listener);
        m_added.push_back(listener);
    }

    std::vector<DeviceNotificationListener*> m_added;  // removed at the end, as often as added
};

TEST_F(DeviceNotificationTest, StartsOnceWithOneObserverOfItsRuntimeClass)
{
    EXPECT_TRUE(DeviceNotification::isInitialized());
    EXPECT_TRUE(DeviceNotification::init());
    ASSERT_NE(QV::GP::QVDeviceNotificationListener::s_pNSListener, nullptr);
    EXPECT_STREQ(class_getName(object_getClass(QV::GP::QVDeviceNotificationListener::s_pNSListener)),
                 "ComOrvendalCocoaDeviceNotificationListener");
    DeviceNotification::deInit();
    EXPECT_FALSE(DeviceNotification::isInitialized());
    EXPECT_EQ(QV::GP::QVDeviceNotificationListener::s_pNSListener, nullptr);
    ASSERT_TRUE(DeviceNotification::init());
}

TEST_F(DeviceNotificationTest, AListenerAddedTwiceIsCalledTwiceUntilRemovedOnce)
{
    Recorder listener;
    add(&listener);
    add(&listener);
    DeviceNotification::onVolumeChanged(DeviceNotificationListener::eStateMounted, "Backup");
    EXPECT_EQ(listener.m_calls,
              (std::vector<tCall>{{State::eStateMounted, "Backup"}, {State::eStateMounted, "Backup"}}));

    DeviceNotification::removeListener(&listener);
    m_added.pop_back();
    listener.m_calls.clear();
    DeviceNotification::onVolumeChanged(DeviceNotificationListener::eStateUnmounted, "Backup");
    EXPECT_EQ(listener.m_calls, (std::vector<tCall>{{State::eStateUnmounted, "Backup"}}));

    Recorder stranger;
    DeviceNotification::removeListener(&stranger);  // not registered: nothing changes
    listener.m_calls.clear();
    DeviceNotification::onVolumeChanged(DeviceNotificationListener::eStateMounted, "X");
    EXPECT_EQ(listener.m_calls.size(), 1u);
}

TEST_F(DeviceNotificationTest, ChangingTheListFromInsideABroadcastSkipsNoListener)
{
    // Listeners a, b, c, d in this order; one of them changes the list during its call.
    struct Case {
        const char* what;
        int actor;                       // index of the listener that acts
        std::vector<int> remove;         // listeners it removes
        bool addE;                       // it adds a fifth listener e
        std::vector<std::string> order;  // who is called, in order
    } cases[] = {
        {"a removes itself", 0, {0}, false, {"a", "b", "c", "d"}},
        {"b removes a, before it", 1, {0}, false, {"a", "b", "c", "d"}},
        {"b removes itself and a", 1, {1, 0}, false, {"a", "b", "c", "d"}},
        {"a removes c, after it", 0, {2}, false, {"a", "b", "d"}},
        {"c removes itself and d", 2, {2, 3}, false, {"a", "b", "c"}},
        {"d, the last, removes itself", 3, {3}, false, {"a", "b", "c", "d"}},
        {"b adds e", 1, {}, true, {"a", "b", "c", "d", "e"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> order;
        std::vector<std::unique_ptr<Recorder>> listeners;
        for (const char* id : {"a", "b", "c", "d", "e"})
            listeners.push_back(std::make_unique<Recorder>(id, &order));
        for (int i = 0; i < 4; ++i)
            DeviceNotification::addListener(listeners[i].get());
        bool acted = false;
        listeners[c.actor]->m_action = [&] {
            if (acted)
                return;
            acted = true;
            for (int index : c.remove)
                DeviceNotification::removeListener(listeners[index].get());
            if (c.addE)
                DeviceNotification::addListener(listeners[4].get());
        };
        DeviceNotification::onVolumeChanged(DeviceNotificationListener::eStateMounted, "Backup");
        EXPECT_EQ(order, c.order) << c.what;
        for (auto& listener : listeners)
            DeviceNotification::removeListener(listener.get());  // each is registered once at most
    }
}

TEST_F(DeviceNotificationTest, WhileStoppedAddingAndRemovingAreIgnoredAndTheListStays)
{
    Recorder kept, ignored;
    add(&kept);
    DeviceNotification::deInit();
    DeviceNotification::addListener(&ignored);                                                 // ignored: stopped
    DeviceNotification::removeListener(&kept);                                                 // ignored: stopped
    DeviceNotification::onVolumeChanged(DeviceNotificationListener::eStateMounted, "Backup");  // no lock: nothing
    EXPECT_TRUE(kept.m_calls.empty());

    ASSERT_TRUE(DeviceNotification::init());
    DeviceNotification::onVolumeChanged(DeviceNotificationListener::eStateMounted, "Backup");
    EXPECT_EQ(kept.m_calls.size(), 1u);
    EXPECT_TRUE(ignored.m_calls.empty());
}

// ---- notices through the workspace, delivered on the main loop ----

TEST_F(DeviceNotificationTest, AWorkspaceNoticeReachesTheListenersWithTheVolumeName)
{
    struct Case {
        std::string mountPoint;
        std::string volumeName;
    } cases[] = {
        {"/media/me/Backup", "Backup"},
        {"/Volumes/Backup", "Backup"},
        {"/media/me/Backup/", "Backup"},
        {"/", QV::GP::DETAIL::kRootVolumeName},
        {"/media/me/Fotos \xC3\x9C", "Fotos \xC3\x9C"},
        {"/media/me/Cafe\xCC\x81", "Cafe\xCC\x81"},  // decomposed: not normalised
        {"/media/me/raw\xFF", "raw\xFF"},            // not UTF-8: the bytes are kept
        {"/media/me/a:b", "a/b"},                    // a ':' reads as '/' in volume names
    };
    Recorder listener;
    add(&listener);
    for (const Case& c : cases) {
        for (bool mounted : {true, false}) {
            listener.m_calls.clear();
            qvcompat::appkit::postWorkspaceMountNotice(mounted, c.mountPoint);
            EXPECT_TRUE(listener.m_calls.empty()) << "delivered on the main loop, not at once";
            ASSERT_TRUE(runMainLoopUntil([&] { return !listener.m_calls.empty(); })) << c.mountPoint;
            EXPECT_EQ(listener.m_calls,
                      (std::vector<tCall>{{mounted ? State::eStateMounted : State::eStateUnmounted, c.volumeName}}))
                << c.mountPoint;
        }
    }
}

TEST_F(DeviceNotificationTest, AMountedVolumeIsNamedAsTheVolumeTableNamesIt)
{
    // Two mounts share the last component; the table tells them apart.
    const auto previous = QV::GP::DETAIL::VolumeTable::install(
        std::make_shared<QV::GP::DETAIL::FixedVolumeTable>(std::vector<std::string>{"/media/me/STICK", "/mnt/STICK"}));
    Recorder listener;
    add(&listener);
    qvcompat::appkit::postWorkspaceMountNotice(true, "/mnt/STICK");
    const bool delivered = runMainLoopUntil([&] { return !listener.m_calls.empty(); });
    QV::GP::DETAIL::VolumeTable::install(previous);
    ASSERT_TRUE(delivered);
    EXPECT_EQ(listener.m_calls, (std::vector<tCall>{{State::eStateMounted, "STICK 2"}}));
}

TEST_F(DeviceNotificationTest, WhileStoppedTheObserverIsGoneAndNoticesReachNobody)
{
    Recorder listener;
    add(&listener);
    DeviceNotification::deInit();
    qvcompat::appkit::postWorkspaceMountNotice(true, "/media/me/Backup");
    // Once the main loop has nothing left to do, the notice has been sent.
    EXPECT_TRUE(runMainLoopUntil([] { return !g_main_context_pending(nullptr); }));
    EXPECT_TRUE(listener.m_calls.empty());
    ASSERT_TRUE(DeviceNotification::init());
}

}  // namespace
