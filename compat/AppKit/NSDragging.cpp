// Drag and drop over GTK: see NSDragging.h.
#include "AppKit/NSDragging.h"

#include <Foundation/Bridge.h>

NSString* const NSStringPboardType = qvcompat::foundation::newString("NSStringPboardType");
NSString* const NSFilenamesPboardType = qvcompat::foundation::newString("NSFilenamesPboardType");
