// The driver's probe: find every connected controller and print its identity.
#pragma once

#include <ostream>

namespace QV::Driver {

// Scans for controllers in application mode, connects to each, prints its identity and the
// auxiliary image's version; then for controllers left in firmware-update mode, and says how to
// finish their update. Returns the number of controllers found; `refused` counts those that this
// user may not open (not among the found).
int probe(std::ostream& out, unsigned& refused);

}  // namespace QV::Driver
