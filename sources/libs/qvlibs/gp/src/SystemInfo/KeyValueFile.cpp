#include "SystemInfo/KeyValueFile.h"

#include "SystemInfo/SystemFile.h"

#include <sstream>

namespace QV::GP::DETAIL {

namespace {

// The value after '=': plain text up to the line end, or the text inside a pair of quotes. An
// unterminated quote keeps what follows it.
std::string unquoted(const std::string& value)
{
    if (value.empty() || (value[0] != '"' && value[0] != '\''))
        return value;
    const char quote = value[0];
    std::string result;
    for (std::string::size_type i = 1; i < value.size(); ++i) {
        const char c = value[i];
        if (c == quote)
            break;
        if (quote == '"' && c == '\\' && i + 1 < value.size())
            result += value[++i];
        else
            result += c;
    }
    return result;
}

}  // namespace

std::map<std::string, std::string> parseKeyValueFile(const std::string& text)
{
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = trimmedSystemText(line);
        if (line.empty() || line[0] == '#')
            continue;
        const std::string::size_type equals = line.find('=');
        if (equals == std::string::npos || equals == 0)
            continue;
        values[trimmedSystemText(line.substr(0, equals))] = unquoted(trimmedSystemText(line.substr(equals + 1)));
    }
    return values;
}

}  // namespace QV::GP::DETAIL
