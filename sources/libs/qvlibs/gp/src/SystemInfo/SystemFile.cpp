#include "SystemInfo/SystemFile.h"

#include <fstream>
#include <iterator>

namespace QV::GP::DETAIL {

std::optional<std::string> readSystemFile(const std::string& root, const std::string& path)
{
    std::string fullPath = root;
    if (!fullPath.empty() && fullPath.back() == '/')
        fullPath.pop_back();
    fullPath += path;
    std::ifstream file(fullPath, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::string content{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad())
        return std::nullopt;
    return content;
}

std::string trimmedSystemText(const std::string& text)
{
    static constexpr const char* kBlanks = " \t\r\n";
    const std::string::size_type first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace QV::GP::DETAIL
