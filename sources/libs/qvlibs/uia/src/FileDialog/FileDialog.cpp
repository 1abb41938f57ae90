#include "UIA/FileDialog.h"

#include <GP/CFString.h>
#include <GP/FileTypeManager.h>
#include <GP/URI.h>

#include <CoreFoundation/CoreFoundation.h>
#include <Foundation/NSObjCRuntime.h>
#include <objc/message.h>
#include <objc/runtime.h>

namespace QV::UIA {

namespace {

// NSModalResponseOK.
constexpr NSInteger kModalResponseOK = 1;

// A CF object handed to a panel as the Foundation object it is (toll-free bridged).
id asObject(CFTypeRef ref) { return static_cast<id>(const_cast<void*>(ref)); }

void sendFlag(id panel, const char* selector, bool flag)
{
    objc::msgSend<void, BOOL>(panel, objc::sel(selector), flag ? YES : NO);
}

void sendText(id panel, const char* selector, const std::string& text)
{
    const GP::CFString string(text);
    objc::msgSend<void, id>(panel, objc::sel(selector), asObject(string.get()));
}

// The panel's folder: the initial name's volume and folder path.
void presetFolder(id panel, const GP::FileName& initial)
{
    const GP::FileName folder(initial.getVolume() + (initial.getPath().empty() ? ":" : initial.getPath()));
    const std::string path = folder.getFilesystemPath();
    if (path.empty())
        return;  // no such folder here: the platform chooses
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(
        kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path.data()), static_cast<CFIndex>(path.size()), true);
    if (!url)
        return;
    objc::msgSend<void, id>(panel, objc::sel("setDirectoryURL:"), asObject(url));
    CFRelease(url);
}

// The extensions of the groups, in group, type and extension order; `others` is set when the
// all-files group is among them.
std::vector<std::string> allowedExtensions(const std::vector<const GP::FileTypeGroupDescr*>& groups, bool& others)
{
    using GP::FileTypeManager;
    const GP::FileTypeGroupDescr* allFiles = FileTypeManager::getStdGroup(FileTypeManager::eStdGroupAllFiles);
    std::vector<std::string> extensions;
    others = false;
    for (const GP::FileTypeGroupDescr* group : groups) {
        if (group == allFiles) {
            others = true;
            continue;
        }
        if (const GP::FileTypeGroupDescr* descr = FileTypeManager::getGroupDescrFor(group))
            for (const GP::FileTypeDescr* type : descr->types)
                extensions.insert(extensions.end(), type->extensions.begin(), type->extensions.end());
    }
    return extensions;
}

void presetTypes(id panel, const std::vector<const GP::FileTypeGroupDescr*>& groups)
{
    bool others = false;
    const std::vector<std::string> extensions = allowedExtensions(groups, others);
    if (!extensions.empty()) {
        std::vector<CFStringRef> strings;
        for (const std::string& extension : extensions)
            strings.push_back(CFStringCreateWithCString(kCFAllocatorDefault, extension.c_str(), kCFStringEncodingUTF8));
        std::vector<const void*> values(strings.begin(), strings.end());
        CFArrayRef array = CFArrayCreate(kCFAllocatorDefault, values.data(), static_cast<CFIndex>(values.size()),
                                         &kCFTypeArrayCallBacks);
        objc::msgSend<void, id>(panel, objc::sel("setAllowedFileTypes:"), asObject(array));
        CFRelease(array);
        for (CFStringRef string : strings)
            CFRelease(string);
    }
    sendFlag(panel, "setAllowsOtherFileTypes:", others);
}

}  // namespace

FileDialog::FileDialog() = default;

FileDialog::~FileDialog() = default;

bool FileDialog::doModal(eFileAction action, WindowBase*)
{
    m_result.clear();
    m_action = action;
    if (action != eFileActionOpen && action != eFileActionSave && action != eFileActionChooseDirectory)
        return false;
    const bool save = action == eFileActionSave;
    Class panelClass = objc_getClass(save ? "NSSavePanel" : "NSOpenPanel");
    if (!panelClass)
        return false;

    void* pool = objc_autoreleasePoolPush();
    id panel = objc::msgSend<id>(reinterpret_cast<id>(panelClass), objc::sel(save ? "savePanel" : "openPanel"));
    if (action == eFileActionOpen) {
        sendFlag(panel, "setCanCreateDirectories:", false);
        sendFlag(panel, "setCanChooseFiles:", true);
    } else if (action == eFileActionChooseDirectory) {
        sendFlag(panel, "setCanCreateDirectories:", m_bCanCreateDirectories);
        sendFlag(panel, "setCanChooseDirectories:", true);
        sendFlag(panel, "setCanChooseFiles:", false);
        sendFlag(panel, "setAllowsMultipleSelection:", false);
        sendText(panel, "setPrompt:", "Choose");
    }
    if (m_bShowExtension)
        sendFlag(panel, "setExtensionHidden:", false);
    if (!m_caption.empty())
        sendText(panel, "setTitle:", m_caption);
    if (!m_initial.empty()) {
        presetFolder(panel, m_initial);
        if (save && m_initial.getMode() == GP::FileName::eModeFile &&
            objc::respondsToSelector(panel, objc::sel("setNameFieldStringValue:")))
            sendText(panel, "setNameFieldStringValue:", m_initial.getName() + m_initial.getExtension());
    }
    if (action != eFileActionChooseDirectory && !m_fileTypeGroups.empty())
        presetTypes(panel, m_fileTypeGroups);
    if (save && m_savePanelHook)
        m_savePanelHook(panel);

    bool confirmed = objc::msgSend<NSInteger>(panel, objc::sel("runModal")) == kModalResponseOK;
    if (confirmed) {
        CFURLRef url = nullptr;
        if (save) {
            url = static_cast<CFURLRef>(static_cast<const void*>(objc::msgSend<id>(panel, objc::sel("URL"))));
        } else {
            auto urls = static_cast<CFArrayRef>(static_cast<const void*>(objc::msgSend<id>(panel, objc::sel("URLs"))));
            url = CFArrayGetCount(urls) > 0 ? static_cast<CFURLRef>(CFArrayGetValueAtIndex(urls, 0)) : nullptr;
        }
        confirmed = url && GP::URI(url).getFileName(m_result);
        if (!confirmed)
            m_result.clear();
    }
    objc_autoreleasePoolPop(pool);
    if (!confirmed)
        return false;
    if (action == eFileActionChooseDirectory)
        m_result.setType(GP::FileTypeManager::getStdType(GP::FileTypeManager::eStdFileTypeDirectory));
    else
        GP::FileTypeManager::determineType(m_result);
    return true;
}

}  // namespace QV::UIA
