// The toolkit's channel for diagnostic texts (stylesheet messages, missing resources): each text is
// handed to every registered sink, in order. Nothing registers a sink in this program.
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
