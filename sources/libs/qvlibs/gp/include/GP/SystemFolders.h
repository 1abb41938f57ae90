// The platform's standard folders by domain and four-character folder type, as the string cropper's
// folder aliases and the volume list ask for them.
//
// On Linux (the XDG base and user directories, read as GLib reads them):
//   'cusr' the user's home folder                      $HOME
//   'docs' documents        (user domain)              XDG_DOCUMENTS_DIR, else ~/Documents
//   µdoc   music            (user domain)              XDG_MUSIC_DIR, else ~/Music
//   'pdoc' pictures         (user domain)              XDG_PICTURES_DIR, else ~/Pictures
//   'asup' application support (local domain)          the first system data folder ($XDG_DATA_DIRS,
//                                                      /usr/local/share by default)
// The user's folders are answered in the user domain and on the appropriate disk. Linux has no
// counterpart of the applications folder ('apps') or of the folder shared by all users ('sdat'):
// those, and every other domain or type, are not found.
#pragma once

#include "GP/FileTypeMacMagic.h"

#include <string>

namespace QV::GP {

class FileName;

// Folder domains.
enum : short {
    kOnAppropriateDisk = -32767,
    kSystemDomain = -32766,
    kLocalDomain = -32765,
    kNetworkDomain = -32764,
    kUserDomain = -32763,
};

// Folder types.
inline constexpr FileTypeMacMagic kApplicationsFolderType = fourCharCode("apps");
inline constexpr FileTypeMacMagic kApplicationSupportFolderType = fourCharCode("asup");
inline constexpr FileTypeMacMagic kSharedUserDataFolderType = fourCharCode("sdat");
inline constexpr FileTypeMacMagic kCurrentUserFolderType = fourCharCode("cusr");
inline constexpr FileTypeMacMagic kDocumentsFolderType = fourCharCode("docs");
inline constexpr FileTypeMacMagic kMusicDocumentsFolderType = 0xB5646F63;  // µdoc
inline constexpr FileTypeMacMagic kPictureDocumentsFolderType = fourCharCode("pdoc");

// Finds the standard folder of that domain and type; with `create`, makes it (and its parents) when
// it is missing. On success `out` names the folder (folder mode) and the result is true; otherwise
// `out` is left as it was.
bool getSystemFolder(short domain, unsigned folderType, FileName& out, bool create);

namespace DETAIL {

// Where the standard folders lie: the facts of the session, gathered by currentFolderSources().
struct tFolderSources {
    std::string home;              // absolute, never empty in a session
    std::string systemDataFolder;  // the first of $XDG_DATA_DIRS; empty when there is none
    std::string documents;         // from the user-dirs configuration; empty when not configured
    std::string music;
    std::string pictures;
};

// The session's folders: $HOME (else the password database), $XDG_DATA_DIRS and the user-dirs
// configuration ($XDG_CONFIG_HOME/user-dirs.dirs, ~/.config by default). Read afresh on each call.
tFolderSources currentFolderSources();

// Reads one entry ("DOCUMENTS", "MUSIC", ...) of user-dirs.dirs text: XDG_<key>_DIR="$HOME/..." or
// an absolute path in double quotes, backslash escapes undone; empty when the entry is missing or
// malformed. The last valid entry counts.
std::string userDirFromConfig(const std::string& config, const std::string& key, const std::string& home);

// The POSIX path of a standard folder, or empty when there is none of that domain and type. The
// user's folders that are not configured fall back to their usual name in the home folder.
std::string systemFolderPath(const tFolderSources& sources, short domain, unsigned folderType);

}  // namespace DETAIL

}  // namespace QV::GP
