// CoreGraphics stand-in over cairo and GDK: the part of CoreGraphics that the program calls; see each
// header.
#pragma once

#include "CoreGraphics/CGColorSpace.h"
#include "CoreGraphics/CGContext.h"
#include "CoreGraphics/CGDataProvider.h"
#include "CoreGraphics/CGDirectDisplay.h"
#include "CoreGraphics/CGGeometry.h"
#include "CoreGraphics/CGImage.h"
#include "CoreGraphics/CGRemoteOperation.h"
