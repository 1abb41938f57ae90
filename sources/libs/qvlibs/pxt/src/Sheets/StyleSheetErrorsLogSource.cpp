#include "PXT/StyleSheetErrorsLogSource.h"

#include "GP/DebugTrace.h"

namespace QV::PXT {

std::vector<StyleSheetErrorsLogSource::tSink> StyleSheetErrorsLogSource::m_logSinks;

void StyleSheetErrorsLogSource::log(const std::string& message)
{
    if (m_logSinks.empty()) {
        GP::DebugTrace::printLine(nullptr, GP::CharSequence<char>(message));
        return;
    }
    for (const tSink& sink : m_logSinks)
        sink(message);
}

}  // namespace QV::PXT
