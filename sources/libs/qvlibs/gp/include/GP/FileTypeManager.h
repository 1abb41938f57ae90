// The process-wide registry of file types and type groups: the standard types and groups, lookups by
// extension and by four-character type code, and the type of a file name.
//
// The library start-up calls init() and deInit(). Further types can be registered only while a
// registration window is open; init() opens one for the standard types and closes it again, so after
// start-up the set of types is fixed.
#pragma once

#include "GP/FileType.h"
#include "GP/FileTypeMacMagic.h"

#include <cstdint>
#include <string>

namespace QV::GP {

class FileName;

class FileTypeManager {
public:
    enum eStdFileType : std::int32_t {
        eStdFileTypeUnknown = 0,    // "Unknown" / "All Files", extension "*"
        eStdFileTypeDirectory = 1,  // "Directory"
        eStdFileTypeVolume = 2,     // "Volume"
        eStdFileTypeWAV = 3,
        eStdFileTypeAIFF = 4,
        eStdFileTypeSD2 = 5,
        eStdFileTypeMIDI = 6,
        eStdFileTypeExecutable = 7,
        eStdFileTypeDynamicLibrary = 8,
        eStdFileTypeGIF = 9,
        eStdFileTypeBitmap = 10,
        eStdFileTypePicture = 11,
        eStdFileTypeJPEG = 12,
        eStdFileTypePNG = 13,
        eStdFileTypeTrueTypeFont = 14,
        eStdFileTypeXML = 15,
        eStdFileTypeCount = 16
    };

    enum eStdGroupType : std::int32_t {
        eStdGroupAllFiles = 0,  // the Unknown type's own group
        eStdGroupAudio = 1,     // WAV, AIFF, SD2
        eStdGroupSample = 2,    // empty
        eStdGroupBitmap = 3,    // empty; a group of its own beside the Bitmap type's group
        eStdGroupMidi = 4,      // MIDI
        eStdGroupCount = 5
    };

    // Identifies one registration window: the types and groups registered while it was open.
    struct RegistrationHandle {
        std::int32_t number = -1;  // -1: invalid
        std::int64_t typePosition = -1;
        std::int64_t groupPosition = -1;
    };

    // Builds the standard types and groups; a second call does nothing. Always true.
    static bool init();
    // Destroys every type and group; nothing before init(). init() may follow again.
    static void deInit();

    // A new type with one extension (without '.') and one type code, plus a group of the same names.
    // Null before init() or when no registration window is open.
    static const FileTypeDescr* registerType(const char* name, const char* pluralName, const char* extension,
                                             const FileTypeMacMagic& code);
    // A new empty group; null before init() or when no registration window is open.
    static FileTypeGroupDescr* registerGroup(const char* name, const char* pluralName);
    // Appends an extension to a registered type (a duplicate is appended again); ignores other types.
    static void registerExtensionForType(const char* extension, const FileTypeDescr* type);
    // Destroys the types and groups of the latest registration window and invalidates the handle.
    // Nothing happens for an invalid handle, while a window is open, or for an older registration.
    static void unregister(RegistrationHandle& handle);

    // The one type that lists the extension (without '.'; letter case ignored): Unknown when none does,
    // null when several do ("*" is therefore ambiguous) or before init().
    static const FileTypeDescr* getUniqueTypeForExtension(const std::string& extension);
    // The one type that lists the code: Unknown for '????' or when none does, null when several do
    // or before init().
    static const FileTypeDescr* getUniqueTypeForMacMagic(const FileTypeMacMagic& code);
    // Sets the type of a file-mode name from its extension, else from the file system (an existing
    // folder is a Directory). True when the name's type changed; false for other modes or when
    // nothing usable was found (the type stays).
    static bool determineType(FileName& name);

    // The standard tables (null before init()). These read without the lock: they change only in
    // init() and deInit().
    static const FileTypeDescr* getStdType(eStdFileType type);
    static const FileTypeGroupDescr* getStdGroup(eStdGroupType group);
    // The group itself, or the all-files group for null.
    static const FileTypeGroupDescr* getGroupDescrFor(const FileTypeGroupDescr* group);
};

}  // namespace QV::GP
