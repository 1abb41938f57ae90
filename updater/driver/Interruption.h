// What the driver says when SIGINT or SIGTERM ends it in the middle of an update: while the
// controller may be in firmware-update mode, one line on standard error says so and how to finish.
#pragma once

namespace QV::Driver {

// Installs the handlers of SIGINT and SIGTERM: they write the line when it applies, then end the
// process by the signal's own default action.
void installInterruptionNotice();

// Marks the span in which an interruption leaves the controller in firmware-update mode: from the
// reset into it (or from finding it there) until the update has returned it to application mode.
void setControllerInUpdateMode(bool inUpdateMode);

}  // namespace QV::Driver
