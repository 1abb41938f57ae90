// An application delegate made at run time that refuses every termination and counts the questions.
#pragma once

#include "GP/ClassFactory.h"

#include <AppKit/AppKit.h>

namespace QV::UIA::TEST {

// How often the platform asked the delegate whether to terminate; the answer is always no.
inline int g_terminateQuestions = 0;

inline NSApplicationTerminateReply refuseTermination(id, SEL, id)
{
    ++g_terminateQuestions;
    return NSTerminateCancel;
}

inline id refusingDelegate()
{
    static objc_class* s_class = nullptr;
    static QV::GP::OBJC::ClassFactory s_factory(s_class);
    static id s_delegate = nullptr;
    if (!s_class && s_factory.generateUniqueClass("QVTestRefusingDelegate", "NSObject")) {
        s_factory.addMethod(objc::sel("applicationShouldTerminate:"), reinterpret_cast<IMP>(&refuseTermination),
                            "Q@:@");
        s_factory.doRegister();
        s_delegate = objc::msgSend<id>(objc::msgSend<id>(s_class, objc::sel("alloc")), objc::sel("init"));
    }
    return s_delegate;
}

}  // namespace QV::UIA::TEST
