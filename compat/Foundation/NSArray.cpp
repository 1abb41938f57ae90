#include "Foundation/NSArray.h"

#include "Foundation/ClassDefinition.h"
#include "Foundation/standin/Arrays.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace qvcompat::foundation {

namespace {

struct tArray {
    tArray() = default;
    tArray(const tArray&) = delete;
    tArray& operator=(const tArray&) = delete;
    ~tArray()
    {
        for (id object : objects)
            objc_release(object);
    }
    std::vector<id> objects;  // retained
};

using ArrayState = InstanceState<tArray>;
const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};

id arrayWithObjects(id self, SEL, const id* objects, NSUInteger count)
{
    id array = objc::msgSend<id>(objc::msgSend<id>(self, s_alloc), s_init);
    if (!array)
        return nil;
    std::vector<id>& held = ArrayState::of(array).objects;
    for (NSUInteger i = 0; i < count; ++i)
        if (objects[i])
            held.push_back(objc_retain(objects[i]));
    return objc_autorelease(array);
}

NSUInteger count(id self, SEL) { return ArrayState::of(self).objects.size(); }

id objectAtIndex(id self, SEL, NSUInteger index)
{
    const std::vector<id>& objects = ArrayState::of(self).objects;
    if (index >= objects.size()) {
        std::fprintf(stderr, "-[NSArray objectAtIndex:]: index %lu beyond bounds [0 .. %zu)\n", index, objects.size());
        std::abort();
    }
    return objects[index];
}

id firstObject(id self, SEL)
{
    const std::vector<id>& objects = ArrayState::of(self).objects;
    return objects.empty() ? nil : objects.front();
}

id lastObject(id self, SEL)
{
    const std::vector<id>& objects = ArrayState::of(self).objects;
    return objects.empty() ? nil : objects.back();
}

}  // namespace

Class NSArrayClass()
{
    static const Class s_class = ClassDefinition("NSArray", NSObjectClass())
                                     .state<tArray>()
                                     .classMethod("arrayWithObjects:count:", &arrayWithObjects, "@@:^@Q")
                                     .method("count", &count, "Q@:")
                                     .method("objectAtIndex:", &objectAtIndex, "@@:Q")
                                     .method("firstObject", &firstObject, "@@:")
                                     .method("lastObject", &lastObject, "@@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::foundation
