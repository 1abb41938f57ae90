#include "UIA/InputState.h"

#include "COCOA/KeyEventConversion.h"

#include <objc/message.h>
#include <objc/runtime.h>

namespace QV::UIA {

bool InputState::g_bModalKeyInput = false;

uint32_t InputState::getSyncModifierKeys()
{
    static const objc::Selector s_modifierFlags{"modifierFlags"};
    return COCOA::modifierBitsFromCocoa(objc::msgSend<unsigned long>(objc_getClass("NSEvent"), s_modifierFlags));
}

}  // namespace QV::UIA
