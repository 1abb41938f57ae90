// Settings of the IOKit stand-in that have no platform counterpart.
#pragma once

#include <chrono>

namespace qvcompat::iokit {

// The time-out of every control request (default 5 s). Tests shorten it to see a device that
// never answers without waiting long.
void setControlTransferTimeout(std::chrono::milliseconds timeout);
std::chrono::milliseconds controlTransferTimeout();

}  // namespace qvcompat::iokit
