// The internal payloads this process has put on pasteboards, by pasteboard name: an internal item
// read from a pasteboard is trusted only when it is the payload recorded for that pasteboard.
#pragma once

#include <string>
#include <vector>

namespace QV::UIA::DETAIL {

class InternalPayloads {
public:
    // The pasteboard now holds this payload (replacing what was recorded for it).
    static void record(const std::string& pasteboard, std::vector<unsigned char> payload);
    // The pasteboard no longer holds a payload of this process.
    static void forget(const std::string& pasteboard);
    // Whether the payload is the one recorded for the pasteboard.
    static bool holds(const std::string& pasteboard, const unsigned char* payload, long size);
};

}  // namespace QV::UIA::DETAIL
