// The toolkit's signal: a thread-safe notifier with any number of slots, and the connection that
// can take one slot off again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace QV::PXT {

namespace detail {
// What a connection needs of its signal, whatever the slots' arguments.
class SignalBase {
public:
    virtual void disconnectSlot(std::size_t index, std::uint64_t slotId) = 0;

protected:
    ~SignalBase() = default;
};
}  // namespace detail

// Names one slot of a signal. Dropping it leaves the slot connected. Each slot carries an id of its
// own, so a connection (or a copy of it) whose slot is gone never removes a later slot that took
// the same place in the signal.
class Connection {
public:
    Connection() = default;
    Connection(std::weak_ptr<detail::SignalBase> signal, std::size_t index, std::uint64_t slotId)
        : m_signal(std::move(signal)), m_index(index), m_slotId(slotId)
    {}

    void disconnect()
    {
        if (auto signal = m_signal.lock())
            signal->disconnectSlot(m_index, m_slotId);
        m_signal.reset();
    }

private:
    std::weak_ptr<detail::SignalBase> m_signal;
    std::size_t m_index = 0;
    std::uint64_t m_slotId = 0;
};

template <class... Args>
class Signal final : private detail::SignalBase {
public:
    using tSlot = std::function<void(Args...)>;

    Signal() = default;
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    ~Signal()
    {
        // Outstanding connections become inert before the slots go.
        std::lock_guard<std::mutex> lock(m_lock);
        m_disconnector.reset();
    }

    Connection connect(tSlot slot)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_disconnector)
            m_disconnector =
                std::shared_ptr<detail::SignalBase>(static_cast<detail::SignalBase*>(this), [](detail::SignalBase*) {});
        const std::uint64_t id = ++m_lastSlotId;
        const bool filled = static_cast<bool>(slot);
        m_slots.push_back({id, std::move(slot)});
        if (filled)
            ++m_connectedCount;
        return Connection(m_disconnector, m_slots.size() - 1, id);
    }

    // Slots run on a copy taken under the lock: a slot connected or disconnected meanwhile does not
    // change this emission, and other threads may emit while the slots run.
    void operator()(Args... args) const
    {
        std::vector<tEntry> slots;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            slots = m_slots;
        }
        for (const tEntry& entry : slots)
            if (entry.function)
                entry.function(args...);
    }

    std::size_t getConnectedCount() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_connectedCount;
    }

private:
    struct tEntry {
        std::uint64_t id;
        tSlot function;
    };

    void disconnectSlot(std::size_t index, std::uint64_t slotId) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (index >= m_slots.size() || m_slots[index].id != slotId)
            return;
        if (m_slots[index].function)
            --m_connectedCount;
        m_slots[index] = {0, nullptr};
        while (!m_slots.empty() && !m_slots.back().function)
            m_slots.pop_back();
    }

    mutable std::mutex m_lock;
    std::vector<tEntry> m_slots;
    std::size_t m_connectedCount = 0;
    std::uint64_t m_lastSlotId = 0;
    std::shared_ptr<detail::SignalBase> m_disconnector;
};

}  // namespace QV::PXT
