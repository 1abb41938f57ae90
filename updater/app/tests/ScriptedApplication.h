// The updater's application over a configuration with scripted callbacks, attached to the program's
// module with the libraries started as the module starts them; the quit question is answered by
// the test. Each test runs with an X server of its own (the window is real) and a runtime folder of
// its own (the single-instance lock).
#pragma once

#include "GP/Lib.h"
#include "GP/Message.h"
#include "PXT/Lib.h"
#include "QVTest/TemporaryFolder.h"
#include "UIA/Application.h"
#include "UIA/Lib.h"
#include "Updater/FirmwareUpdaterApp.h"
#include "Updater/FirmwareUpdaterConfig.h"
#include "Updater/VDXUpdaterAppModule.h"

#include <AppKit/AppKit.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace QV::TEST {

// How a question was put: its buttons, the default one, its icon and whether it had a title.
struct tQuestionForm {
    GP::Message::eType type;
    GP::Message::eButton defaultButton;
    GP::Message::eIcon icon;
    bool titled;
    bool operator==(const tQuestionForm& o) const
    {
        return type == o.type && defaultButton == o.defaultButton && icon == o.icon && titled == o.titled;
    }
};

inline void PrintTo(const tQuestionForm& f, std::ostream* os)
{
    *os << "type " << f.type << ", default " << f.defaultButton << ", icon " << f.icon
        << (f.titled ? ", titled" : ", untitled");
}

// What the scripted callbacks answer and count.
struct tScript {
    bool updateRunning = false;
    int closeRequests = 0;
};

inline NSApplicationTerminateReply refuseTermination(id, SEL, id) { return NSTerminateCancel; }

class ScriptedApplication : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_runtime = std::make_unique<TemporaryFolder>("qv-app-runtime");
        setenv("XDG_RUNTIME_DIR", m_runtime->path().c_str(), 1);
        GP::Lib::init(0x51564458, "VARDOLIN STUDIO UPDATER", 0x2030000, 69);
        UIA::Lib::init(UIA::Lib::kVersion, UIA::Lib::kFlavour);
        PXT::Lib::init();
        m_config = std::make_unique<FirmwareUpdaterConfig>(
            "Vardolin Studio", "VDX", "VDX", "VDX Updater", "VARDOLIN STUDIO UPDATER", "notice", "1.1.0 (R147)", "one",
            "two", "three", "four", "", "com.orvendal.VDXUpdater.tests.scripted", [] { return false; },
            [] { return false; }, [] { return false; },
            [](std::atomic<int>& result) {
                result = -1;
                return false;
            },
            [](DVK2::USBDeviceInfo&, std::string&, std::string& newest, bool& needed) {
                newest = "33 / 0x67";
                needed = false;
            },
            [this] { return script.updateRunning; }, [this] { ++script.closeRequests; });
        GP::Message::s_showMessageFunctor = [this](const GP::CharSequence<char>& text, GP::Message::eType type,
                                                   GP::Message::eButton defaultButton, GP::Message::eIcon icon,
                                                   const char* title) {
            questions.emplace_back(text.data(), text.size());
            forms.push_back({type, defaultButton, icon, title != nullptr});
            return answer;
        };
    }

    void TearDown() override
    {
        detach();
        GP::Message::s_showMessageFunctor = nullptr;
        m_config.reset();
        PXT::Lib::deInit();
        UIA::Lib::deInit();
        GP::Lib::deInit();
    }

    // A new application attached to the program's module; its init's result.
    bool attach(FirmwareUpdaterApp::tHelpLinks links = {})
    {
        return theModule.attachApplication(new FirmwareUpdaterApp(*m_config, std::move(links)));
    }

    // The windows go, then the application, as at termination. Its menus stay to the end of the
    // process, as the program's do: one application per test.
    void detach()
    {
        UIA::Application::destroyAllWindows();
        theModule.destroyApplication();
    }

    static UIA::Application* application() { return UIA::Application::getApplication(); }

    static void setDelegateInitialized(id delegate, bool initialized)
    {
        Ivar ivar = class_getInstanceVariable(object_getClass(delegate), "isInitialized");
        *reinterpret_cast<BOOL*>(reinterpret_cast<char*>(delegate) + ivar_getOffset(ivar)) = initialized;
    }

    // A quit allowed during the test asks the platform to terminate after the current event: a
    // delegate that refuses keeps the process for the tests after this one.
    static void keepTheProcessAlive()
    {
        Class cls = objc_getClass("QVAppTestRefusingDelegate");
        if (!cls) {
            cls = objc_allocateClassPair(objc_getClass("NSObject"), "QVAppTestRefusingDelegate", 0);
            objc::addMethod(cls, objc::sel("applicationShouldTerminate:"), &refuseTermination, "Q@:@");
            objc_registerClassPair(cls);
        }
        static id s_refusing = objc::msgSend<id>(cls, objc::sel("new"));
        objc::msgSend<void, id>(NSApp, objc::sel("setDelegate:"), s_refusing);
    }

    tScript script;
    GP::Message::eButton answer = GP::Message::eButtonNo;
    std::vector<std::string> questions;
    std::vector<tQuestionForm> forms;  // one per question

private:
    std::unique_ptr<TemporaryFolder> m_runtime;
    std::unique_ptr<FirmwareUpdaterConfig> m_config;
};

}  // namespace QV::TEST
