// Texts of menus and their items as the platform takes them.
#pragma once

#include <Foundation/NSString.h>

#include <string>

namespace QV::UIA::DETAIL {

// A new NSString (owned by the caller) of one UTF-16 character.
NSString* nsStringOfCharacter(char16_t character);
// Sets the title of a menu item, or of a menu, from UTF-8 text.
void setMenuItemTitle(id item, const std::string& title);
void setMenuTitle(id menu, const std::string& title);
// The application's name: the main bundle's CFBundleName, else the executable's name; empty without
// a main bundle.
std::string bundleName();

}  // namespace QV::UIA::DETAIL
