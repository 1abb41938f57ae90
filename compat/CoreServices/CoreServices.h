// CoreServices stand-in: the parts of the Carbon core that the program calls. See each header.
#pragma once

#include "CoreServices/LSOpen.h"
#include "CoreServices/MacMemory.h"
#include "CoreServices/MacTypes.h"
#include "CoreServices/Resources.h"
#include "CoreServices/UTType.h"
