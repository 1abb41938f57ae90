// A file, folder or volume named in the colon style: Volume:folder:folder:name.ext, with an optional
// container subpath ("<item", "<<7>") after the last ':' that addresses an item inside a container file.
//
// Text rules:
//   - ':' separates; a folder's text ends with ':'; a volume is its bare name, "Volume:" its top folder.
//   - A text beginning with ':' is relative (":sub:notes.txt"); so is a bare name ("notes.txt").
//     Relative names are split from their text alone, never looked up in the file system: their caller
//     resolves them against a folder of its own choosing (setPath).
//   - An empty component between two ':' is the parent folder ("Disk:a::b" is Disk/a/../b).
//   - The extension is the last component's text from its last '.', unless that '.' is its first
//     character (".profile" has none; "a.b.c" is the name "a.b" with the extension ".c").
//
// On Linux (volume naming: GP/VolumeTable.h):
//   - "Linux:home:me:notes.txt" is /home/me/notes.txt; "STICK:x" is /media/me/STICK/x when a volume
//     STICK is mounted there. A name on a volume that is not mounted has no POSIX path.
//   - The volume name is matched ignoring letter case; the components below it keep their bytes
//     exactly (no Unicode normalisation, no case folding, invalid UTF-8 kept): a POSIX name holding ':' reads as '/' in the colon style and back; "." components and
//     repeated '/' are dropped, ".." becomes an empty component. A POSIX path converted to a name and
//     back names the same file.
//   - There are no Finder aliases or type codes: symbolic links are followed by the file system, and
//     only the extension (and being a folder) decides a type. A folder whose extension is .app,
//     .bundle, .framework or .plugin and which holds a Contents folder is a package: named without
//     the final ':' ("Linux:opt:Tool.app") it is in file mode with the package flag set.
#pragma once

#include "GP/FileType.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace QV::GP {

class FileName {
public:
    static constexpr char DIR_SEPARATOR = ':';

    enum eMode : std::int32_t {
        eModeEmpty = 0,
        eModeFile = 1,
        eModeFolder = 2,
        eModeVolume = 3
    };

    enum eWithVolume : std::int32_t {
        ePathWithoutVolume = 0,  // the path lacks the volume: the name's volume is put in front
        ePathWithVolume = 1      // the path begins with the volume
    };

    // The platform's reference to an existing item: its POSIX path (byte-exact, without a trailing '/'
    // except for the root).
    struct tFileRef {
        std::string posixPath;
    };

    // What the file system tells about an item.
    struct tCatalogInfo {
        bool isFolder = false;
        bool isPackage = false;               // a folder recognised as a package (see above)
        std::uint32_t typeCode = 0x3F3F3F3F;  // '????': Linux keeps no type codes; 'APPL'/'BNDL' for packages
    };

    FileName() = default;
    // The text, split by init(true).
    explicit FileName(const std::string& full);
    // The colon-style text of a POSIX path (POSIX2HFSPath), with ':' appended when the path ends with '/';
    // an empty path gives the empty name.
    explicit FileName(const std::filesystem::path& posix);
    FileName(const FileName& other);
    FileName& operator=(const FileName& other);
    FileName(FileName&& other) noexcept = default;
    FileName& operator=(FileName&& other) noexcept = default;
    ~FileName() = default;

    // Mode 0, the new text, init(true).
    bool setFull(const std::string& full);
    // Replaces the folder part, keeping name and extension (the subpath is dropped). A volume or
    // empty name becomes a folder; ':' is appended to a non-empty path that lacks it; with
    // eWithoutVolume the name's volume is put in front. Then init(true).
    void setPath(const std::string& path, eWithVolume withVolume);
    // Everything emptied: no type, mode 0, flags false.
    void clear();
    // True when the type changed.
    bool setType(const FileTypeDescr* type);

    // Derives every part from the full text: from the file system when the item exists, else from the
    // text. Lenient: true. Strict: whether the name is well formed (a file has a name, a folder a path).
    bool init(bool lenient);

    // The POSIX path, without a trailing '/' (except "/"); empty when there is none (a volume that is
    // not mounted, a NUL byte in the text). viaFileSystem: the item's own path when it exists.
    // A relative name gives a path relative to the current folder. fileSystemRepresentation: the
    // bytes for the file system; else UTF-8 (invalid sequences dropped) for display.
    std::string getSystemPath(bool viaFileSystem, bool fileSystemRepresentation) const;
    // getSystemPath(true, true): the path for I/O.
    std::string getFilesystemPath() const;

    // The colon-style text of a POSIX path (bytes, NUL-terminated); a trailing '/' is dropped.
    // Empty for null or an empty path.
    static std::string POSIX2HFSPath(const unsigned char* posixPath);
    static std::string POSIX2HFSPath(const std::string& posixPath);

    // The reference of the existing item named by the text (aliases: none on Linux); isFolder (may be
    // null) gets 1 for a folder, else 0. False when there is no such item.
    bool getFSRef(tFileRef& ref, bool resolveAlias, unsigned char* isFolder) const;
    // Derives the parts from an existing item (info: null = ask the file system). False when the item
    // cannot be examined.
    bool initFromFSRef(const tFileRef& ref, const tCatalogInfo* info, bool resolveAlias);
    // The colon-style text of an existing item; true when it is not empty.
    static bool getFullFromFSRef(const tFileRef& ref, std::string& out);
    // Moves the container subpath (from the first '<' after the last ':') out of `full` into `subpath`;
    // without one, nothing changes (subpath keeps its value).
    static void stripSubpath(std::string& full, std::string& subpath);

    const std::string& getFull() const { return m_full; }
    const std::string& getVolume() const { return m_volume; }
    const std::string& getPath() const { return m_path; }  // begins and ends with ':'
    const std::string& getName() const { return m_name; }
    const std::string& getExtension() const { return m_extension; }  // with its '.'
    const std::string& getSubpath() const { return m_subpath; }      // with its '<'
    const FileTypeDescr* getType() const { return m_type; }
    eMode getMode() const { return m_mode; }
    const FileName* getAliasSource() const { return m_aliasSource.get(); }
    bool isRelative() const { return m_relative; }
    bool isPackage() const { return m_package; }
    bool empty() const { return m_full.empty(); }

private:
    eMode splitPath(const std::string& text, eMode mode);

    std::string m_full;
    std::string m_volume;
    std::string m_path;
    std::string m_name;
    std::string m_extension;
    std::string m_subpath;
    const FileTypeDescr* m_type = nullptr;
    eMode m_mode = eModeEmpty;
    std::unique_ptr<FileName> m_aliasSource;
    bool m_relative = false;
    bool m_package = false;
};

}  // namespace QV::GP
