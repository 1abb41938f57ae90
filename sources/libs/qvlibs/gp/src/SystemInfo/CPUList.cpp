#include "SystemInfo/CPUList.h"

#include "SystemInfo/SystemFile.h"

#include <cstdlib>
#include <sstream>

namespace QV::GP::DETAIL {

namespace {

// A whole decimal number of at most five digits: no machine has more processors than that, and it
// keeps a hostile range from filling the set.
std::optional<unsigned> parseNumber(const std::string& text)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
}

}  // namespace

std::optional<std::set<unsigned>> parseCPUList(const std::string& text)
{
    std::set<unsigned> numbers;
    const std::string list = trimmedSystemText(text);
    if (list.empty())
        return numbers;

    std::istringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        const std::string::size_type dash = item.find('-');
        const std::optional<unsigned> first = parseNumber(item.substr(0, dash));
        const std::optional<unsigned> last = dash == std::string::npos ? first : parseNumber(item.substr(dash + 1));
        if (!first || !last || *last < *first)
            return std::nullopt;
        for (unsigned number = *first; number <= *last; ++number)
            numbers.insert(number);
    }
    // getline drops a trailing empty item ("0-3,"), which is malformed all the same.
    if (list.back() == ',')
        return std::nullopt;
    return numbers;
}

}  // namespace QV::GP::DETAIL
