// The bundle that holds the running code: X.app when the code's file lies in X.app/Contents/MacOS.
#pragma once

#include <string>

namespace QV::GP {

// The CFBundleRef of the bundle holding the running code, resolved on first need and kept until
// releaseCurrentDSOHandle(); null outside a bundle, and then the next call tries again.
void* getCurrentDSOHandle();

// Resolves the bundle afresh: a new CFBundleRef owned by the caller, or null outside a bundle.
void* resolveCurrentDSOHandle();

// Releases the kept bundle; the next getCurrentDSOHandle() resolves again.
void releaseCurrentDSOHandle();

namespace DETAIL {

// The file that holds the running code: the shared object it was loaded from, else the executable.
// Empty when neither can be found.
std::string currentCodeFile();

// The bundle folder of the code file at `path`: when the folder holding the file, made canonical
// against the current folder, is a "MacOS" inside a "Contents", the folder above "Contents"; else, or
// when the folder does not exist, the empty string.
std::string bundleFolderOf(const std::string& path);

}  // namespace DETAIL

}  // namespace QV::GP
