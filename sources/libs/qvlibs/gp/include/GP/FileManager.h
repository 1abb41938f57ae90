// The file-system questions of the platform core, asked on file names (GP/FileName.h): does a file
// or folder exist, how large is a file, make an empty file, which folder is current; and the path of
// the running application bundle.
//
// Paths are used byte for byte as the file names give them: nothing is normalised on the way to the
// file system. Linux keeps no Finder type or creator codes, so a created file carries none.
// Items inside container files (a name with a container subpath) are answered by the container
// reader.
#pragma once

#include <cstdint>
#include <filesystem>

namespace QV::GP {

class FileName;

class FileManager {
public:
    // True when the name denotes an existing file: a file, or a folder when the name is in file mode
    // (a package). With a container subpath, true only when the container holds that item.
    static bool existsFile(const FileName& name);
    // True when the whole name denotes an existing folder (symbolic links followed). A folder's name
    // given without its trailing ':' ("Linux:home:me") names the same folder; a file's name is false,
    // also when the folder that holds it exists.
    static bool existsDir(const FileName& name);
    // Makes an empty file for a name in file mode that carries a type, in an existing folder. True
    // when the file exists afterwards (also when it existed before); false for other names, a missing
    // folder, or when the file system refuses.
    static bool createFile(const FileName& name);
    // The size in bytes of the file (of the container item for a name with a container subpath);
    // 0 when it cannot be found or is no file.
    static std::uint64_t getFileSize(const FileName& name);
    // The process's current folder as a folder name (volume included); false when it cannot be read.
    static bool getCurDir(FileName& out);
};

// The folder of the application bundle that holds the running code (X.app), found once and kept for
// the life of the process; an empty path when the code is not inside a bundle. Thread-safe.
const std::filesystem::path& getCurrentBundlePath();

}  // namespace QV::GP
