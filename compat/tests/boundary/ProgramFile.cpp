// A file of the program that reaches for a stand-in internal: it must not build, because the
// internal headers are on no include root of a target that links the frameworks. The test that
// compiles it passes only when the compiler does not find the header.
#include <AppKit/AppKit.h>
#include <Foundation/ClassDefinition.h>
