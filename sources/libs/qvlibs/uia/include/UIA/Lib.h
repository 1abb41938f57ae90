// The UI layer as one library: started by the application module after the platform core, with a
// version and flavour handshake, and stopped before it.
//
// Main thread only.
#pragma once

namespace QV::UIA {

class Lib {
public:
    static constexpr int kVersion = 0x4010000;
    static constexpr int kFlavour = 69;

    // tryInit; when it throws or fails, what it started is stopped again and the answer is false.
    static bool init(int version, int flavour);
    // Checks the core's and this library's version and flavour (a mismatch is a failed assertion,
    // which ends the process with status 1), builds the key tables, marks the menus started,
    // registers the standard cursors and starts the cross-thread events.
    static bool tryInit(int version, int flavour);
    // Undoes whatever is started; safe without init and twice.
    static void deInit();

    static bool isInitialized() { return s_bInitialized; }

private:
    static bool s_bInitialized;
};

}  // namespace QV::UIA
