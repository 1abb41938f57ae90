// Whether the program has a screen to show its window on, asked before anything starts: without
// one the program would run its loop with no window and hold the single-instance lock.
#pragma once

#include <string>

namespace QV::COCOA {

// True when the platform reports at least one screen (the stand-in has then opened its X11
// display). Main thread only.
bool hasScreen();

// The one line that tells the user what was tried and that an X11 display is needed, from the
// environment the display was looked for with; `program` is the name to start the line with.
std::string noScreenMessage(const std::string& program);

}  // namespace QV::COCOA
