#include "Foundation/NSUserDefaults.h"

#include "Foundation/ClassDefinition.h"
#include "Foundation/FoundationClasses.h"
#include "Foundation/standin/Dictionaries.h"

#include <algorithm>
#include <mutex>
#include <utility>

namespace qvcompat::foundation {

namespace {

struct tUserDefaults {
    tUserDefaults() = default;
    tUserDefaults(const tUserDefaults&) = delete;
    tUserDefaults& operator=(const tUserDefaults&) = delete;
    ~tUserDefaults()
    {
        for (auto& [key, value] : registered) {
            objc_release(key);
            objc_release(value);
        }
    }
    std::vector<std::pair<id, id>> registered;  // the registration domain; both retained
};

using UserDefaultsState = InstanceState<tUserDefaults>;
const objc::Selector s_isEqualToString{"isEqualToString:"};

id standardUserDefaults(id self, SEL)
{
    static std::once_flag s_made;
    static id s_defaults = nil;
    std::call_once(s_made, [self] {
        s_defaults = objc::msgSend<id>(objc::msgSend<id>(self, objc::sel("alloc")), objc::sel("init"));
    });
    return s_defaults;
}

std::pair<id, id>* findEntry(tUserDefaults& defaults, id key)
{
    auto& entries = defaults.registered;
    auto found = std::find_if(entries.begin(), entries.end(), [&](const auto& e) {
        return e.first == key || objc::msgSend<BOOL, id>(e.first, s_isEqualToString, key);
    });
    return found == entries.end() ? nullptr : &*found;
}

void registerDefaults(id self, SEL, id dictionary)
{
    tUserDefaults& defaults = UserDefaultsState::of(self);
    for (auto [key, value] : dictionaryEntries(dictionary)) {
        objc_retain(key);
        objc_retain(value);
        if (auto* entry = findEntry(defaults, key)) {
            objc_release(std::exchange(entry->first, key));
            objc_release(std::exchange(entry->second, value));
        } else {
            defaults.registered.emplace_back(key, value);
        }
    }
}

id objectForKey(id self, SEL, id key)
{
    if (!key)
        return nil;
    auto* entry = findEntry(UserDefaultsState::of(self), key);
    return entry ? entry->second : nil;
}

BOOL boolForKey(id self, SEL op, id key)
{
    id value = objectForKey(self, op, key);
    if (!value || !objc::msgSend<BOOL, Class>(value, objc::sel("isKindOfClass:"), NSNumberClass()))
        return NO;
    return objc::msgSend<BOOL>(value, objc::sel("boolValue"));
}

}  // namespace

Class NSUserDefaultsClass()
{
    static const Class s_class = ClassDefinition("NSUserDefaults", NSObjectClass())
                                     .state<tUserDefaults>()
                                     .classMethod("standardUserDefaults", &standardUserDefaults, "@@:")
                                     .method("registerDefaults:", &registerDefaults, "v@:@")
                                     .method("objectForKey:", &objectForKey, "@@:@")
                                     .method("boolForKey:", &boolForKey, "c@:@")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::foundation
