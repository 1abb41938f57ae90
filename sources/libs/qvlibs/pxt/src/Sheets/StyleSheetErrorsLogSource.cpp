#include "PXT/StyleSheetErrorsLogSource.h"

namespace QV::PXT {

std::vector<StyleSheetErrorsLogSource::tSink> StyleSheetErrorsLogSource::m_logSinks;

void StyleSheetErrorsLogSource::log(const std::string& message)
{
    for (const tSink& sink : m_logSinks)
        sink(message);
}

}  // namespace QV::PXT
