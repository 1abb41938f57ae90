#include "Clipboard/InternalPayloads.h"

#include <algorithm>
#include <map>

namespace QV::UIA::DETAIL {

namespace {

// Main thread only, as every pasteboard operation.
std::map<std::string, std::vector<unsigned char>>& payloads()
{
    static std::map<std::string, std::vector<unsigned char>> s_payloads;
    return s_payloads;
}

}  // namespace

void InternalPayloads::record(const std::string& pasteboard, std::vector<unsigned char> payload)
{
    payloads()[pasteboard] = std::move(payload);
}

void InternalPayloads::forget(const std::string& pasteboard) { payloads().erase(pasteboard); }

bool InternalPayloads::holds(const std::string& pasteboard, const unsigned char* payload, long size)
{
    auto found = payloads().find(pasteboard);
    return found != payloads().end() && size >= 0 && found->second.size() == static_cast<size_t>(size) &&
           std::equal(found->second.begin(), found->second.end(), payload);
}

}  // namespace QV::UIA::DETAIL
