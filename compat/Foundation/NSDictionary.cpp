#include "Foundation/NSDictionary.h"

#include "Foundation/ClassDefinition.h"
#include "Foundation/standin/Dictionaries.h"

#include <algorithm>
#include <utility>

namespace qvcompat::foundation {

namespace {

struct tDictionary {
    tDictionary() = default;
    tDictionary(const tDictionary&) = delete;
    tDictionary& operator=(const tDictionary&) = delete;
    ~tDictionary()
    {
        for (auto& [key, object] : entries) {
            objc_release(key);
            objc_release(object);
        }
    }
    std::vector<std::pair<id, id>> entries;  // both retained
};

using DictionaryState = InstanceState<tDictionary>;
const objc::Selector s_isEqualToString{"isEqualToString:"};

bool sameKey(id a, id b) { return a == b || objc::msgSend<BOOL, id>(a, s_isEqualToString, b); }

void put(tDictionary& dictionary, id key, id object)
{
    if (!key || !object)
        return;
    objc_retain(key);
    objc_retain(object);
    auto& entries = dictionary.entries;
    auto found = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return sameKey(e.first, key); });
    if (found == entries.end()) {
        entries.emplace_back(key, object);
        return;
    }
    objc_release(std::exchange(found->first, key));
    objc_release(std::exchange(found->second, object));
}

id dictionaryWithObjects(id self, SEL, const id* objects, const id* keys, NSUInteger count)
{
    id dictionary = objc::msgSend<id>(objc::msgSend<id>(self, objc::sel("alloc")), objc::sel("init"));
    if (!dictionary)
        return nil;
    for (NSUInteger i = 0; i < count; ++i)
        put(DictionaryState::of(dictionary), keys[i], objects[i]);
    return objc_autorelease(dictionary);
}

id dictionaryWithObject(id self, SEL op, id object, id key)
{
    return dictionaryWithObjects(self, op, &object, &key, 1);
}

NSUInteger count(id self, SEL) { return DictionaryState::of(self).entries.size(); }

id objectForKey(id self, SEL, id key)
{
    if (!key)
        return nil;
    for (const auto& [k, object] : DictionaryState::of(self).entries)
        if (sameKey(k, key))
            return object;
    return nil;
}

}  // namespace

Class NSDictionaryClass()
{
    static const Class s_class =
        ClassDefinition("NSDictionary", NSObjectClass())
            .state<tDictionary>()
            .classMethod("dictionaryWithObject:forKey:", &dictionaryWithObject, "@@:@@")
            .classMethod("dictionaryWithObjects:forKeys:count:", &dictionaryWithObjects, "@@:^@^@Q")
            .method("count", &count, "Q@:")
            .method("objectForKey:", &objectForKey, "@@:@")
            .registerClass();
    return s_class;
}

std::vector<std::pair<id, id>> dictionaryEntries(id dictionary)
{
    const tDictionary* state = DictionaryState::find(dictionary);
    if (!state || !objc::msgSend<BOOL, Class>(dictionary, objc::sel("isKindOfClass:"), NSDictionaryClass()))
        return {};
    return state->entries;
}

}  // namespace qvcompat::foundation
