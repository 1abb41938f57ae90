// Components of POSIX paths and colon-style names, and the conversions between the two styles.
// Byte-exact: no component is normalised; only the separators differ (a POSIX name holding ':' is
// written with '/' in the colon style, which cannot hold ':', and back).
#pragma once

#include "GP/VolumeTable.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace QV::GP::DETAIL {

// The components of a POSIX path without empty ones (repeated or trailing '/') and without ".".
std::vector<std::string> splitPosixComponents(const std::string& path);
// "/" followed by the first `count` components joined with '/'; "/" for none.
std::string joinPosixComponents(const std::vector<std::string>& components, std::size_t count);
// ':' and '/' exchanged.
std::string swapSeparators(std::string component);

// The volume of that name (letter case ignored), or null.
const tMountedVolume* findVolumeByName(const std::vector<tMountedVolume>& volumes, const std::string& name);

// The colon-style text of a POSIX path; a trailing '/' is dropped. Absolute paths name their volume
// (the longest mount point holding them): "/" -> "Linux", "/home/me" -> "Linux:home:me". Relative
// paths begin with ':' ("a/b" -> ":a:b", "." -> ":"). ".." becomes an empty component. Empty for an
// empty path or one holding NUL.
std::string posixToColon(const std::string& posixPath, const std::vector<tMountedVolume>& volumes);

struct tPosixPath {
    std::string path;     // without a trailing '/' (except "/"); relative for a relative name
    bool folder = false;  // the colon-style text ended with ':'
};

// The POSIX path of a colon-style text (without container subpath). A text beginning with ':' is
// relative; a bare text is a volume when one of that name is mounted or asVolume is set, else a
// relative name. Nothing for an empty text, a text holding NUL, or a volume that is not mounted.
std::optional<tPosixPath> colonToPosix(const std::string& text, bool asVolume,
                                       const std::vector<tMountedVolume>& volumes);

}  // namespace QV::GP::DETAIL
