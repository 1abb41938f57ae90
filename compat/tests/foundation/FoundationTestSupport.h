// Shared pieces of the Foundation tests: an object that records the messages it receives, and a way
// to run the main thread's run loop (GLib's default context) until something has happened.
#pragma once

#include <Foundation/Foundation.h>
#include <Foundation/FoundationClasses.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace qvcompat::test {

// One message received by a recorder.
struct tReceived {
    std::string selector;
    id argument;
    bool onMainThread;
    std::chrono::steady_clock::time_point when;
};

struct tLog {
    std::mutex lock;
    std::vector<tReceived> received;
    // Run after recording, inside the message (may be empty).
    std::function<void(id self, id argument)> onReceive;

    size_t size()
    {
        std::lock_guard<std::mutex> guard(lock);
        return received.size();
    }
};

// A subclass of NSObject whose -note: and -other: record into the tLog its ivar "log" points to.
Class recorderClass();

// A new recorder (one reference) writing into `log`.
id makeRecorder(tLog* log);

// Iterates GLib's default context until `done` answers true or `timeout` has passed; answers `done`.
bool runMainLoopUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

// Iterates GLib's default context for `duration`, whatever happens.
void runMainLoopFor(std::chrono::milliseconds duration);

// The retain count of an object.
unsigned long retainCount(id object);

// Whether an NSString holds exactly `text`.
bool hasText(id string, const char* text);

}  // namespace qvcompat::test
