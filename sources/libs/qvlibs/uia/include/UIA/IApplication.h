// What the application module knows of the application it owns (Application.h implements it).
#pragma once

namespace QV::UIA {

class AppModule;

class IApplication {
public:
    virtual ~IApplication() = default;
    virtual void setModuleOwner(AppModule* module) = 0;
    // The platform's loop runs the program: the application runs none of its own.
    virtual int run() = 0;
    virtual bool init() = 0;
    // Called with the result of init; may come a second time after a failed init.
    virtual void deInit(bool initResult) = 0;
    // Quits without asking.
    virtual void postQuit() = 0;
};

}  // namespace QV::UIA
