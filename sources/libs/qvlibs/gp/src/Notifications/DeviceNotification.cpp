#include "GP/DeviceNotification.h"

#include "GP/CriticalSection.h"

#include <algorithm>
#include <new>

namespace QV::GP {

std::vector<DeviceNotificationListener*> DeviceNotification::m_collListeners;
CriticalSection* DeviceNotification::m_aListenerCS = nullptr;
bool DeviceNotification::m_bInit = false;

namespace {

// The broadcasts under way on the thread that holds the lock (a listener may start another one from
// its call): for each, the position of the next listener to call. Removing a listener before that
// position moves it back, so that the listener after the removed one is not skipped.
std::vector<size_t*> s_broadcastCursors;

class BroadcastCursor {
public:
    BroadcastCursor() { s_broadcastCursors.push_back(&m_next); }
    ~BroadcastCursor() { s_broadcastCursors.pop_back(); }
    BroadcastCursor(const BroadcastCursor&) = delete;
    BroadcastCursor& operator=(const BroadcastCursor&) = delete;

    size_t m_next = 0;
};

}  // namespace

bool DeviceNotification::init()
{
    if (m_bInit)
        return true;
    if (!m_aListenerCS) {
        try {
            m_aListenerCS = CriticalSection::create();
        } catch (const std::bad_alloc&) {
            m_aListenerCS = nullptr;
        }
        if (!m_aListenerCS)
            return false;
    }
    if (!initOS()) {
        CriticalSection::destroy(m_aListenerCS);
        m_aListenerCS = nullptr;
        return false;
    }
    m_bInit = true;
    return true;
}

void DeviceNotification::deInit()
{
    if (!m_bInit)
        return;
    deInitOS();
    CriticalSection::destroy(m_aListenerCS);
    m_aListenerCS = nullptr;
    m_bInit = false;
}

void DeviceNotification::addListener(DeviceNotificationListener* listener)
{
    if (!m_bInit)
        return;
    const CriticalSection::Guard guard(*m_aListenerCS);
    m_collListeners.push_back(listener);
}

void DeviceNotification::removeListener(DeviceNotificationListener* listener)
{
    if (!m_bInit)
        return;
    const CriticalSection::Guard guard(*m_aListenerCS);
    const auto found = std::find(m_collListeners.begin(), m_collListeners.end(), listener);
    if (found == m_collListeners.end())
        return;
    const size_t removed = static_cast<size_t>(found - m_collListeners.begin());
    m_collListeners.erase(found);
    for (size_t* next : s_broadcastCursors)
        if (removed < *next)
            --*next;
}

void DeviceNotification::onVolumeChanged(DeviceNotificationListener::eState state, const std::string& volumeName)
{
    if (!m_aListenerCS)
        return;
    const CriticalSection::Guard guard(*m_aListenerCS);
    BroadcastCursor cursor;
    // The length is read again after every call: listeners may change the list.
    while (cursor.m_next < m_collListeners.size())
        m_collListeners[cursor.m_next++]->onVolumeChanged(state, volumeName);
}

}  // namespace QV::GP
