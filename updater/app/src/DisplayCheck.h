// Whether the program has a screen to show its window on, asked before anything starts: without
// one the program would run its loop with no window and hold the single-instance lock.
#pragma once

#include <chrono>
#include <string>

namespace QV::COCOA {

// True when the platform reports at least one screen (the stand-in has then opened its X11
// display). When that takes longer than `patience` (a display that takes the connection and never
// answers), the process ends with status 1 and `noAnswerLine` on standard error. Main thread only,
// before anything else has started.
bool hasScreen(std::chrono::milliseconds patience, const std::string& noAnswerLine);

// The one line that tells the user what was tried and that an X11 display is needed, from the
// environment the display was looked for with; `program` is the name to start the line with.
std::string noScreenMessage(const std::string& program);
// The line for a display that did not answer within `waited`.
std::string noAnswerMessage(const std::string& program, std::chrono::seconds waited);

}  // namespace QV::COCOA
