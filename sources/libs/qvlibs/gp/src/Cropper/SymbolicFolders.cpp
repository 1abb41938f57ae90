#include "Cropper/SymbolicFolders.h"

#include "GP/FileName.h"
#include "GP/StringCropper.h"
#include "GP/SystemFolders.h"

#include <mutex>

namespace QV::GP {

std::map<std::string, std::string> StringCropper::s_mapSymbolicFolders;

void StringCropper::initFileNameAliasMap()
{
    static std::once_flag s_once;
    std::call_once(s_once, [] {
        const struct {
            short domain;
            unsigned type;
        } folders[] = {
            {kOnAppropriateDisk, kApplicationsFolderType},
            {kLocalDomain, kApplicationSupportFolderType},
            {kOnAppropriateDisk, kSharedUserDataFolderType},
            {kOnAppropriateDisk, kCurrentUserFolderType},
            {kUserDomain, kDocumentsFolderType},
            {kUserDomain, kMusicDocumentsFolderType},
            {kUserDomain, kPictureDocumentsFolderType},
        };
        for (const auto& folder : folders) {
            FileName name;
            if (getSystemFolder(folder.domain, folder.type, name, false))
                addAlias(name);
        }
    });
}

void StringCropper::addAlias(const FileName& folder)
{
    std::string path = folder.getVolume() + folder.getPath();
    if (!path.empty() && path.back() == FileName::DIR_SEPARATOR)
        path.pop_back();
    const std::size_t last = path.rfind(FileName::DIR_SEPARATOR);
    if (last == std::string::npos)
        return;  // a volume alone
    s_mapSymbolicFolders[path] = "[" + path.substr(last + 1) + "]";
}

namespace DETAIL {

std::string withSymbolicFolder(const std::string& text, const std::map<std::string, std::string>& folders)
{
    const std::pair<const std::string, std::string>* best = nullptr;
    for (const auto& entry : folders) {
        const std::string& folder = entry.first;
        if (folder.empty() || text.compare(0, folder.size(), folder) != 0)
            continue;
        // "Linux:home:me" begins "Linux:home:meadow:x" too: only a whole folder counts.
        if (text.size() > folder.size() && text[folder.size()] != FileName::DIR_SEPARATOR)
            continue;
        if (!best || folder.size() > best->first.size())
            best = &entry;
    }
    return best ? best->second + text.substr(best->first.size()) : text;
}

}  // namespace DETAIL

}  // namespace QV::GP
