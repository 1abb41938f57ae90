#include "Foundation/NSNumber.h"

#include "Foundation/ClassDefinition.h"

namespace qvcompat::foundation {

namespace {

struct tNumber {
    bool value = false;
};

using NumberState = InstanceState<tNumber>;

id numberWithBool(id self, SEL, BOOL value)
{
    id number = objc::msgSend<id>(objc::msgSend<id>(self, objc::sel("alloc")), objc::sel("init"));
    if (!number)
        return nil;
    NumberState::of(number).value = value;
    return objc_autorelease(number);
}

BOOL boolValue(id self, SEL) { return NumberState::of(self).value; }

}  // namespace

Class NSNumberClass()
{
    static const Class s_class = ClassDefinition("NSNumber", NSObjectClass())
                                     .state<tNumber>()
                                     .classMethod("numberWithBool:", &numberWithBool, "@@:c")
                                     .method("boolValue", &boolValue, "c@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::foundation
