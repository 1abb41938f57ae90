// The file-type registry: lists of owned types and groups in registration order, registration
// windows, and the lookups.
#include "GP/FileTypeManager.h"

#include "FileName/FileSystemItem.h"
#include "GP/FileName.h"
#include "GP/StringUtil.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace QV::GP {

namespace {

struct Registry {
    std::mutex mutex;  // guards the lists and the window
    std::vector<std::unique_ptr<FileTypeDescr>> types;
    std::vector<std::unique_ptr<FileTypeGroupDescr>> groups;
    // Open registration window: the list sizes where it began, -1 while none is open.
    std::int64_t windowTypePosition = -1;
    std::int64_t windowGroupPosition = -1;
    std::int32_t registrationCount = 0;

    // Written only by init() and deInit(), read without the lock.
    std::atomic<bool> initialized{false};
    std::array<const FileTypeDescr*, FileTypeManager::eStdFileTypeCount> stdTypes{};
    std::array<const FileTypeGroupDescr*, FileTypeManager::eStdGroupCount> stdGroups{};
    FileTypeManager::RegistrationHandle stdRegistration;
};

Registry& registry()
{
    static Registry* instance = new Registry;  // never destroyed: usable from static destructors
    return *instance;
}

bool windowOpen(const Registry& r) { return r.windowTypePosition >= 0 && r.windowGroupPosition >= 0; }

bool isRegistered(const Registry& r, const FileTypeDescr* type)
{
    for (const auto& registered : r.types) {
        if (registered.get() == type)
            return true;
    }
    return false;
}

// Destroys the types and groups past the positions, the last registered first.
void cutBack(Registry& r, std::size_t typePosition, std::size_t groupPosition)
{
    while (r.types.size() > typePosition)
        r.types.pop_back();
    while (r.groups.size() > groupPosition)
        r.groups.pop_back();
}

struct StdTypeRow {
    const char* name;
    const char* plural;
    std::vector<const char*> extensions;
    std::vector<FileTypeMacMagic> codes;
};

const std::vector<StdTypeRow>& stdTypeRows()
{
    static const std::vector<StdTypeRow> rows = {
        {"Unknown", "All Files", {"*"}, {fourCharCode("????")}},
        {"Directory", "Directories", {"*"}, {fourCharCode("????")}},
        {"Volume", "Volumes", {"*"}, {fourCharCode("????")}},
        {"WAV File", "WAV Files", {"wav"}, {fourCharCode("WAVE"), fourCharCode("WAV "), fourCharCode(".WAV")}},
        {"AIFF File", "AIFF Files", {"aif", "aiff"}, {fourCharCode("AIFF")}},
        {"SD2 File", "SD2 Files", {"sd2"}, {fourCharCode("Sd2f")}},
        {"MIDI File", "MIDI Files", {"mid"}, {fourCharCode("Midi")}},
        {"Executable File", "Executable Files", {"app"}, {fourCharCode("APPL")}},
        {"Dynamic Link Library", "Dynamic Link Libraries", {"dylib"}, {fourCharCode("BNDL"), fourCharCode("aPcs")}},
        {"GIF File", "GIF Files", {"gif"}, {fourCharCode("GIF ")}},
        {"Bitmap File", "Bitmap Files", {"bmp"}, {fourCharCode("BMPf")}},
        {"Picture File", "Picture Files", {"pic"}, {fourCharCode("PICT")}},
        {"JPEG File", "JPEG Files", {"jpeg", "jpg", "jpe", "jfif", "jif"}, {fourCharCode("JPEG")}},
        {"PNG File", "PNG Files", {"png"}, {fourCharCode("PNGf")}},
        {"True Type Font", "True Type Fonts", {"ttf"}, {fourCharCode("tfil")}},
        {"XML File", "XML Files", {"xml"}, {fourCharCode("????")}},
    };
    return rows;
}

}  // namespace

bool FileTypeManager::init()
{
    Registry& r = registry();
    if (r.initialized)
        return true;

    RegistrationHandle handle;
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        r.initialized = true;
        if (!windowOpen(r)) {
            r.windowTypePosition = static_cast<std::int64_t>(r.types.size());
            r.windowGroupPosition = static_cast<std::int64_t>(r.groups.size());
            handle = {r.registrationCount, r.windowTypePosition, r.windowGroupPosition};
            ++r.registrationCount;
        }
    }

    const std::vector<StdTypeRow>& rows = stdTypeRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const StdTypeRow& row = rows[i];
        const FileTypeDescr* type = registerType(row.name, row.plural, row.extensions.front(), row.codes.front());
        for (std::size_t e = 1; e < row.extensions.size(); ++e)
            registerExtensionForType(row.extensions[e], type);
        if (type && row.codes.size() > 1) {
            std::lock_guard<std::mutex> lock(r.mutex);
            auto* writable = const_cast<FileTypeDescr*>(type);  // the registry owns it
            writable->typeCodes.insert(writable->typeCodes.end(), row.codes.begin() + 1, row.codes.end());
        }
        r.stdTypes[i] = type;
    }

    const FileTypeDescr* unknown = r.stdTypes[eStdFileTypeUnknown];
    r.stdGroups[eStdGroupAllFiles] = unknown ? unknown->group : nullptr;
    FileTypeGroupDescr* audio = registerGroup("Audio File", "Audio Files");
    FileTypeGroupDescr* sample = registerGroup("Sample File", "Sample Files");
    FileTypeGroupDescr* bitmap = registerGroup("Bitmap File", "Bitmap Files");
    FileTypeGroupDescr* midi = registerGroup("Midi Sequence", "Midi Sequences");
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        if (audio)
            audio->types = {r.stdTypes[eStdFileTypeWAV], r.stdTypes[eStdFileTypeAIFF], r.stdTypes[eStdFileTypeSD2]};
        if (midi)
            midi->types = {r.stdTypes[eStdFileTypeMIDI]};
        r.stdGroups[eStdGroupAudio] = audio;
        r.stdGroups[eStdGroupSample] = sample;
        r.stdGroups[eStdGroupBitmap] = bitmap;
        r.stdGroups[eStdGroupMidi] = midi;

        // Close the window this call opened, unless another registration changed it meanwhile.
        if (handle.number >= 0 && r.windowTypePosition == handle.typePosition &&
            r.windowGroupPosition == handle.groupPosition && r.registrationCount == handle.number + 1) {
            r.windowTypePosition = -1;
            r.windowGroupPosition = -1;
        }
        r.stdRegistration = handle;
    }
    return true;
}

void FileTypeManager::deInit()
{
    Registry& r = registry();
    if (!r.initialized)
        return;
    RegistrationHandle handle = r.stdRegistration;
    unregister(handle);
    std::lock_guard<std::mutex> lock(r.mutex);
    r.stdRegistration = handle;
    r.stdTypes.fill(nullptr);
    r.stdGroups.fill(nullptr);
    cutBack(r, 0, 0);
    r.initialized = false;
}

const FileTypeDescr* FileTypeManager::registerType(const char* name, const char* pluralName, const char* extension,
                                                   const FileTypeMacMagic& code)
{
    Registry& r = registry();
    FileTypeGroupDescr* group = registerGroup(name, pluralName);
    if (!group)
        return nullptr;
    std::lock_guard<std::mutex> lock(r.mutex);
    auto type = std::make_unique<FileTypeDescr>();
    type->name = name ? name : "";
    type->pluralName = pluralName ? pluralName : "";
    type->group = group;
    if (extension)
        type->extensions.emplace_back(extension);
    type->typeCodes.push_back(code);
    group->types.push_back(type.get());
    r.types.push_back(std::move(type));
    return r.types.back().get();
}

FileTypeGroupDescr* FileTypeManager::registerGroup(const char* name, const char* pluralName)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (!r.initialized || !windowOpen(r))
        return nullptr;
    auto group = std::make_unique<FileTypeGroupDescr>();
    group->name = name ? name : "";
    group->pluralName = pluralName ? pluralName : "";
    r.groups.push_back(std::move(group));
    return r.groups.back().get();
}

void FileTypeManager::registerExtensionForType(const char* extension, const FileTypeDescr* type)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (!extension || !type || !isRegistered(r, type))
        return;
    const_cast<FileTypeDescr*>(type)->extensions.emplace_back(extension);  // the registry owns it
}

void FileTypeManager::unregister(RegistrationHandle& handle)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (handle.number < 0 || windowOpen(r) || r.registrationCount != handle.number + 1 || handle.typePosition < 0 ||
        handle.groupPosition < 0)
        return;
    cutBack(r, static_cast<std::size_t>(handle.typePosition), static_cast<std::size_t>(handle.groupPosition));
    --r.registrationCount;
    handle = RegistrationHandle{};
}

const FileTypeDescr* FileTypeManager::getUniqueTypeForExtension(const std::string& extension)
{
    Registry& r = registry();
    const FileTypeDescr* found = nullptr;
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        for (const auto& type : r.types) {
            for (const std::string& listed : type->extensions) {
                if (wstrcmpc(listed.c_str(), extension.c_str(), false) == 0) {
                    if (found)
                        return nullptr;  // ambiguous
                    found = type.get();
                    break;
                }
            }
        }
    }
    return found ? found : r.stdTypes[eStdFileTypeUnknown];
}

const FileTypeDescr* FileTypeManager::getUniqueTypeForMacMagic(const FileTypeMacMagic& code)
{
    Registry& r = registry();
    if (!r.initialized)
        return nullptr;
    const FileTypeDescr* unknown = r.stdTypes[eStdFileTypeUnknown];
    if (!unknown || unknown->typeCodes.empty() || unknown->typeCodes.front() == code)
        return unknown;
    const FileTypeDescr* found = nullptr;
    std::lock_guard<std::mutex> lock(r.mutex);
    for (const auto& type : r.types) {
        for (const FileTypeMacMagic listed : type->typeCodes) {
            if (listed == code) {
                if (found)
                    return nullptr;  // ambiguous
                found = type.get();
                break;
            }
        }
    }
    return found ? found : unknown;
}

bool FileTypeManager::determineType(FileName& name)
{
    if (name.getMode() != FileName::eModeFile)
        return false;
    const FileTypeDescr* unknown = getStdType(eStdFileTypeUnknown);
    const std::string& extension = name.getExtension();
    const FileTypeDescr* type = extension.empty() ? nullptr : getUniqueTypeForExtension(extension.substr(1));
    if (type && type != unknown)
        return name.setType(type);

    // The file system decides: a folder is a Directory; a file by its type code (none on Linux).
    const auto info = DETAIL::examineItem(name.getSystemPath(false, true));
    if (!info)
        return false;
    if (info->isFolder) {
        name.setType(getStdType(eStdFileTypeDirectory));
        return true;
    }
    const FileTypeDescr* byCode = getUniqueTypeForMacMagic(info->typeCode);
    if (!byCode || byCode == unknown)
        return false;
    return name.setType(byCode);
}

const FileTypeDescr* FileTypeManager::getStdType(eStdFileType type)
{
    if (type < 0 || type >= eStdFileTypeCount)
        return nullptr;
    return registry().stdTypes[static_cast<std::size_t>(type)];
}

const FileTypeGroupDescr* FileTypeManager::getStdGroup(eStdGroupType group)
{
    if (group < 0 || group >= eStdGroupCount)
        return nullptr;
    return registry().stdGroups[static_cast<std::size_t>(group)];
}

const FileTypeGroupDescr* FileTypeManager::getGroupDescrFor(const FileTypeGroupDescr* group)
{
    return group ? group : getStdGroup(eStdGroupAllFiles);
}

}  // namespace QV::GP
