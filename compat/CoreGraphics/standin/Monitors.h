// Inside the CoreGraphics stand-in and for the stand-in pieces that describe screens (AppKit's
// NSScreen): the monitors behind the displays, from a source that tests may replace.
#pragma once

#include "CoreGraphics/CGDirectDisplay.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace qvcompat::coregraphics {

// One monitor as its source reports it, in global coordinates with the origin at the top-left of
// the X screen and y growing downwards.
struct tMonitor {
    uintptr_t key = 0;  // the source's identity of the monitor, stable while it stays
    int x = 0, y = 0, width = 0, height = 0;
    int workX = 0, workY = 0, workWidth = 0, workHeight = 0;  // without panels
    double scale = 1;                                         // device pixels per unit
    bool primary = false;
};

class MonitorSource {
public:
    virtual ~MonitorSource() = default;
    // The monitors now, in the source's order.
    virtual std::vector<tMonitor> monitors() = 0;
    // From now on, `changed` runs on the main thread whenever the monitors may have changed.
    virtual void watch(std::function<void()> changed) = 0;
};

// A display: a monitor with its id, the main display first.
struct tDisplay {
    CGDirectDisplayID id = 0;
    tMonitor monitor;
};

// The displays now (read from the source).
std::vector<tDisplay> currentDisplays();

// Replaces the source (null: GDK's monitors of the default display again). The current displays
// become those of the new source without notices. Main thread only.
void setMonitorSource(std::unique_ptr<MonitorSource> source);

// The source over GDK's monitors of the default display (none without a display).
std::unique_ptr<MonitorSource> makeGdkMonitorSource();

// A monitor's rectangle in the platform's screen coordinates: origin at the bottom-left of the main
// display, y growing upwards.
CGRect bottomLeftFrame(int x, int y, int width, int height, const tMonitor& main);

}  // namespace qvcompat::coregraphics
