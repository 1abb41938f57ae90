#include "UIA/AppTarget.h"

namespace QV::UIA {

int* AppTarget::instance()
{
    static int s_value = 0;
    return &s_value;
}

}  // namespace QV::UIA
