// The stylesheet grammar's entry point (the grammar itself lives in StyleGrammar.cpp, the one
// translation unit that includes Spirit).
#pragma once

#include <string>

namespace QV::PXT {

class StyleParser2;

namespace DETAIL {

// Parses the text [begin, end) with a StyleGrammar reporting to `parser`; `fileName` is the source
// name of every selector. True when the whole text was read (errors are only messages).
bool parseStyleText(StyleParser2& parser, const std::string& fileName, const char* begin, const char* end);

}  // namespace DETAIL

}  // namespace QV::PXT
