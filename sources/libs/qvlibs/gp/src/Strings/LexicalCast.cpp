#include "GP/LexicalCast.h"

#include "GP/StringUtil.h"

#include <ios>
#include <locale>
#include <sstream>

namespace QV::GP::DETAIL {

namespace {

// The white space an input stream skips in the classic locale.
bool isStreamSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

template <>
void LexicalCastHelper<unsigned int>(const std::string& text, unsigned int& out, bool* ok, std::size_t& end,
                                     std::size_t start, bool hex)
{
    out = 0;
    end = std::string::npos;
    bool success = false;

    const std::string ascii = StringUtil::toAscii(text);
    if (start <= ascii.size()) {
        // The stream would read "-1" as 4294967295: refuse the sign before it gets there.
        std::size_t first = start;
        while (first < ascii.size() && isStreamSpace(ascii[first]))
            ++first;
        if (first == ascii.size() || ascii[first] != '-') {
            std::istringstream stream(ascii);
            stream.imbue(std::locale::classic());
            stream.seekg(static_cast<std::streamoff>(start));
            stream >> (hex ? std::hex : std::dec);
            unsigned int value = 0;
            stream >> value;
            if (!stream.fail()) {
                out = value;
                success = true;
                end = stream.eof() ? ascii.size() : static_cast<std::size_t>(stream.tellg());
            }
        }
    }
    if (ok)
        *ok = success;
}

}  // namespace QV::GP::DETAIL
