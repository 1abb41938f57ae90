#include "Menus/MenuStrings.h"

#include "GP/CFString.h"
#include "GP/NSStringRef.h"
#include "GP/StringCF.h"

#include <CoreFoundation/CFBundle.h>
#include <Foundation/Foundation.h>

#include <climits>

namespace QV::UIA::DETAIL {

namespace {

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_initWithCharacters{"initWithCharacters:length:"};
const objc::Selector s_setTitle{"setTitle:"};

void setTitle(id object, const std::string& title)
{
    GP::NSStringRef text;
    text.createWith(title, true);
    objc::msgSend<void, id>(object, s_setTitle, text.get());
}

}  // namespace

NSString* nsStringOfCharacter(char16_t character)
{
    const unichar text[1] = {static_cast<unichar>(character)};
    id string = objc::msgSend<id>(objc_getClass("NSString"), s_alloc);
    return static_cast<NSString*>(objc::msgSend<id, const unichar*, NSUInteger>(string, s_initWithCharacters, text, 1));
}

void setMenuItemTitle(id item, const std::string& title) { setTitle(item, title); }

void setMenuTitle(id menu, const std::string& title) { setTitle(menu, title); }

std::string bundleName()
{
    CFBundleRef bundle = CFBundleGetMainBundle();
    if (!bundle)
        return {};
    const GP::CFString key("CFBundleName");
    CFTypeRef value = CFBundleGetValueForInfoDictionaryKey(bundle, key);
    if (value && CFGetTypeID(value) == CFStringGetTypeID())
        return GP::StringCF(static_cast<CFStringRef>(value));
    // No name in the Info.plist (or no Info.plist): the executable's, as the platform names the process.
    CFURLRef executable = CFBundleCopyExecutableURL(bundle);
    if (!executable)
        return {};
    UInt8 path[PATH_MAX];
    const bool named = CFURLGetFileSystemRepresentation(executable, true, path, sizeof(path));
    CFRelease(executable);
    if (!named)
        return {};
    const std::string file = reinterpret_cast<const char*>(path);
    return file.substr(file.rfind('/') + 1);
}

}  // namespace QV::UIA::DETAIL
