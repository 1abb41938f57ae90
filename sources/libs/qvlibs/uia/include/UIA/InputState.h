// The process-wide keyboard state: the modifier keys held now and the modal key input flag.
//
// Main thread only.
#pragma once

#include <cstdint>

namespace QV::UIA {

class InputState {
public:
    // The eModifier* bits (KeyCodes.h) of the modifier keys held right now, asked of the platform.
    static uint32_t getSyncModifierKeys();

    // Whether key input is modal; false at start.
    static bool getModalKeyInput() { return g_bModalKeyInput; }
    static void setModalKeyInput(bool bModal) { g_bModalKeyInput = bModal; }

private:
    static bool g_bModalKeyInput;
};

}  // namespace QV::UIA
