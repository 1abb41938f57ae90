// What the file system tells about an item named by a POSIX path.
#pragma once

#include "GP/FileName.h"

#include <optional>
#include <string>

namespace QV::GP::DETAIL {

// The item's kind, package flag and type code (symbolic links followed); nothing when it does not exist
// or cannot be examined. A folder is a package when its extension is .app, .bundle, .framework or .plugin
// (letter case ignored) and it holds a folder "Contents": an application ('APPL') or a bundle ('BNDL').
std::optional<FileName::tCatalogInfo> examineItem(const std::string& posixPath);

}  // namespace QV::GP::DETAIL
