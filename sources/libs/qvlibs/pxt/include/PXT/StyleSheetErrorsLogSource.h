// The toolkit's channel for diagnostic texts (stylesheet messages, missing resources, pictures that
// cannot be decoded): each text is handed to every registered sink, in order. Without a sink (the
// program registers none) each text is one line of the platform core's trace on standard error, so
// that a damaged skin never fails in silence.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace QV::PXT {

class StyleSheetErrorsLogSource {
public:
    using tSink = std::function<void(std::string)>;

    static void log(const std::string& message);

    static std::vector<tSink> m_logSinks;
};

}  // namespace QV::PXT
