#include "GP/ClassFactory.h"
#include "GP/FileName.h"
#include "GP/URI.h"
#include "UIA/AppModule.h"
#include "UIA/Application.h"
#include "UIA/CLI.h"
#include "UIA/CommandIds.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "Updater/CocoaStartup.h"

#include <AppKit/AppKit.h>

namespace QV::COCOA {

namespace {

using objc::msgSend;

objc_class* s_pDelegateClass = nullptr;
ptrdiff_t s_initializedOffset = -1;

BOOL& initializedOf(id self) { return *reinterpret_cast<BOOL*>(reinterpret_cast<char*>(self) + s_initializedOffset); }

id sharedApplication() { return msgSend<id>(standaloneApplicationClass(), objc::sel("sharedApplication")); }

id init(id self, SEL op)
{
    objc_super up{self, class_getSuperclass(s_pDelegateClass)};
    self = objc::msgSendSuper<id>(&up, op);
    if (!self)
        return nil;
    initializedOf(self) = NO;
    // Its own pool: the registration's temporaries go now, whether or not the caller has one.
    void* pool = objc_autoreleasePoolPush();
    id key = msgSend<id, const char*>(objc_getClass("NSString"), objc::sel("stringWithUTF8String:"),
                                      "NSDisabledCharacterPaletteMenuItem");
    id yes = msgSend<id, BOOL>(objc_getClass("NSNumber"), objc::sel("numberWithBool:"), YES);
    id defaults =
        msgSend<id, id, id>(objc_getClass("NSDictionary"), objc::sel("dictionaryWithObject:forKey:"), yes, key);
    msgSend<void, id>(msgSend<id>(objc_getClass("NSUserDefaults"), objc::sel("standardUserDefaults")),
                      objc::sel("registerDefaults:"), defaults);
    objc_autoreleasePoolPop(pool);
    msgSend<void, id>(sharedApplication(), objc::sel("setDelegate:"), self);
    return self;
}

void applicationWillFinishLaunching(id self, SEL, id)
{
    if (!UIA::AppModuleStartup::init()) {
        // Another copy runs, or the start failed: end without a question.
        msgSend<void, id>(sharedApplication(), objc::sel("terminate:"), nil);
        return;
    }
    initializedOf(self) = YES;
}

void applicationDidFinishLaunching(id, SEL, id) {}

NSApplicationTerminateReply applicationShouldTerminate(id self, SEL, id)
{
    UIA::Application* application = UIA::Application::getApplication();
    if (!application || !initializedOf(self) || application->isQuitRequested())
        return NSTerminateNow;
    // The platform's own request takes the road of the Quit command, question included.
    UIA::CommandExecuteEventData quit;
    quit.commandId = UIA::eCommandQuit;
    application->sendEvent(UIA::eEventCommandExecute, &quit);
    return application->isQuitRequested() ? NSTerminateNow : NSTerminateCancel;
}

void applicationWillTerminate(id self, SEL, id)
{
    UIA::Application::destroyAllWindows();
    UIA::AppModuleStartup::deInit();
    initializedOf(self) = NO;
}

void sendToApplication(unsigned code)
{
    if (UIA::Application* application = UIA::Application::getApplication()) {
        UIA::EventData empty;
        application->sendEvent(code, &empty);
    }
}

void applicationDidBecomeActive(id, SEL, id) { sendToApplication(UIA::eEventAppActivated); }
void applicationDidResignActive(id, SEL, id) { sendToApplication(UIA::eEventAppDeactivated); }

BOOL applicationOpenFile(id, SEL, id, id path)
{
    if (!path)
        return NO;
    CFURLRef url = CFURLCreateWithFileSystemPath(
        kCFAllocatorDefault, static_cast<CFStringRef>(static_cast<void*>(path)), kCFURLPOSIXPathStyle, false);
    if (!url)
        return NO;
    GP::FileName file;
    const bool named = GP::URI(url).getFileName(file);
    CFRelease(url);
    if (!named)
        return NO;
    if (UIA::Application* application = UIA::Application::getApplication()) {
        UIA::OpenFileEventData open;
        open.file = &file;
        return application->sendEvent(UIA::eEventAppOpenFile, &open) ? YES : NO;
    }
    // Before the application exists: kept for it as the command line's file.
    UIA::CLI::setCommandLineFile(file);
    return YES;
}

void defineDelegate(GP::OBJC::ClassFactory& factory)
{
    if (!factory.generateUniqueClass("QVCocoaAppDelegate", "NSObject"))
        return;
    factory.addMemberVar("isInitialized", sizeof(BOOL), 0, "c");
    const auto add = [&](const char* selector, auto function, const char* types) {
        factory.addMethod(sel_registerName(selector), reinterpret_cast<IMP>(function), types);
    };
    add("init", &init, "@@:");
    add("applicationWillFinishLaunching:", &applicationWillFinishLaunching, "v@:@");
    add("applicationDidFinishLaunching:", &applicationDidFinishLaunching, "v@:@");
    add("applicationShouldTerminate:", &applicationShouldTerminate, "Q@:@");
    add("applicationWillTerminate:", &applicationWillTerminate, "v@:@");
    add("applicationDidBecomeActive:", &applicationDidBecomeActive, "v@:@");
    add("applicationDidResignActive:", &applicationDidResignActive, "v@:@");
    add("application:openFile:", &applicationOpenFile, "c@:@@");
    if (factory.doRegister())
        s_initializedOffset = ivar_getOffset(class_getInstanceVariable(s_pDelegateClass, "isInitialized"));
}

struct DelegateMaker {
    DelegateMaker() { defineDelegate(m_factory); }
    GP::OBJC::ClassFactory m_factory{s_pDelegateClass};
};

const DelegateMaker s_delegateMaker;

}  // namespace

Class appDelegateClass() { return s_pDelegateClass; }

bool isDelegateInitialized(id delegate) { return delegate && s_initializedOffset >= 0 && initializedOf(delegate); }

}  // namespace QV::COCOA
