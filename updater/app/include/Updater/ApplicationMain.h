// The program's start: main hands its arguments here.
#pragma once

namespace QV {

// Makes the application delegate (which makes the shared application, an instance of
// QVCocoaStandaloneApplication), keeps the command line for the process's life and runs the
// platform's loop on the main thread; the loop ends the process itself when the application
// terminates. -1 when the shared application cannot run; 1, with one line on standard error, when
// there is no screen (no X11 display) to show the window on.
int applicationMain(int argc, char** argv);

}  // namespace QV
