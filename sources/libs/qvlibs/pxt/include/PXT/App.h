// The toolkit's application: the UI layer's application as the toolkit's programs derive from it.
// It adds nothing.
#pragma once

#include "UIA/Application.h"

namespace QV::PXT {

class App : public UIA::Application {
public:
    using UIA::Application::Application;
};

}  // namespace QV::PXT
