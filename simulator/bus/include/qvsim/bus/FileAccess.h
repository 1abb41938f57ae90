// A process with root rights opens every file whatever its mode, so a device node that refuses the
// open (UsbBus::setOpenRefused) refuses only once that right (CAP_DAC_OVERRIDE) is given up. A
// process without the right (an ordinary user) needs neither call; both do nothing for it.
#pragma once

namespace QV::SIM {

// Gives up (false) or takes back (true) the right in the calling thread only: a thread's own
// effective capabilities, the right staying permitted. False when it could not be changed.
bool setFileAccessOverride(bool allowed);

// Gives up the right for every program this process starts from now on (the capability bounding
// set); this process keeps it. False when it could not be given up.
bool dropFileAccessOverrideForChildren();

}  // namespace QV::SIM
