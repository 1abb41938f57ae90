#include "AppKit/standin/Graphics.h"

namespace qvcompat::appkit {

void loadGraphics()
{
    NSGraphicsContextClass();
    NSImageClass();
    NSScreenClass();
}

}  // namespace qvcompat::appkit
