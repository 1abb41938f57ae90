// The updater's entry point: the platform's application loop runs the program (ApplicationMain.h).
#include "Updater/ApplicationMain.h"

int main(int argc, char** argv) { return QV::applicationMain(argc, argv); }
