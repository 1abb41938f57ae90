// The system's sleep and wake, from logind's PrepareForSleep signal on the system bus: true before
// the system sleeps, false after it woke. The program only listens: it takes no sleep inhibitor, so
// it never holds or delays the system's sleep. Without a system bus nothing is heard.
//
// One per process (the application owns it); main thread only: the callbacks run on the main loop.
#pragma once

#include <functional>

namespace QV::UIA {

class PowerManager {
public:
    PowerManager(std::function<void()> onSleep, std::function<void()> onWake);
    ~PowerManager();
    PowerManager(const PowerManager&) = delete;
    PowerManager& operator=(const PowerManager&) = delete;

    // Whether the system's sleep signal is subscribed to.
    bool isListening() const { return m_subscription != 0; }

private:
    void* m_pConnection = nullptr;  // GDBusConnection of the system bus
    unsigned m_subscription = 0;
};

}  // namespace QV::UIA
