#include "GP/URI.h"

#include "FileName/PathComponents.h"
#include "GP/FileName.h"

#include <climits>
#include <cstring>
#include <optional>
#include <vector>

namespace QV::GP {

namespace {

bool isAlpha(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

int hexValue(unsigned char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Characters a path may carry unescaped: the unreserved ones, the sub-delimiters, ':', '@' and '/'.
bool isPathCharacter(unsigned char c)
{
    return isAlpha(c) || isDigit(c) || std::strchr("-._~!$&'()*+,;=:@/", c) != nullptr;
}

std::string percentEncodePath(const std::string& path)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(path.size());
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (c != 0 && isPathCharacter(c)) {
            encoded += ch;
        } else {
            encoded += '%';
            encoded += digits[c >> 4];
            encoded += digits[c & 0xF];
        }
    }
    return encoded;
}

// The bytes of a percent-encoded text; nothing when an escape is malformed.
std::optional<std::string> percentDecode(const std::string& text)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = hexValue(static_cast<unsigned char>(text[i + 1]));
        const int low = hexValue(static_cast<unsigned char>(text[i + 2]));
        if (high < 0 || low < 0)
            return std::nullopt;
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return decoded;
}

std::string fileURLForPath(const std::string& posixPath, bool folder)
{
    std::string url = "file://" + percentEncodePath(posixPath);
    if (folder && url.back() != '/')
        url += '/';
    return url;
}

bool equalsIgnoringAsciiCase(const std::string& a, const char* b)
{
    if (a.size() != std::strlen(b))
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto c = static_cast<unsigned char>(a[i]);
        const auto lower = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        if (lower != static_cast<unsigned char>(b[i]))
            return false;
    }
    return true;
}

}  // namespace

URI::URI(const CFURLRef& url)
{
    if (!url)
        return;
    std::vector<UInt8> buffer(PATH_MAX + 1, 0);
    if (CFURLGetFileSystemRepresentation(url, true, buffer.data(), static_cast<CFIndex>(buffer.size())))
        m_url = fileURLForPath(reinterpret_cast<const char*>(buffer.data()), false);
}

URI::URI(const FileName& name) { createFileLocation(name); }

void URI::createFileLocation(const FileName& name)
{
    m_url.clear();
    const std::string path = name.getSystemPath(false, true);
    if (path.empty() || path.front() != '/')
        return;
    m_url = fileURLForPath(path, name.getMode() == FileName::eModeFolder);
}

bool URI::createCanonicalLocation(const CharSequence<char>& urlText)
{
    m_url.clear();
    const std::string text = urlText.str();
    // scheme ":" then printable ASCII without the characters a URL never holds unescaped.
    std::size_t colon = 0;
    while (colon < text.size() && text[colon] != ':')
        ++colon;
    if (colon == 0 || colon == text.size() || !isAlpha(static_cast<unsigned char>(text[0])))
        return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    for (std::size_t i = colon + 1; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c <= 0x20 || c >= 0x7F || std::strchr("\"<>\\^`{|}", c) != nullptr)
            return false;
        if (c == '%' && (i + 2 >= text.size() || hexValue(static_cast<unsigned char>(text[i + 1])) < 0 ||
                         hexValue(static_cast<unsigned char>(text[i + 2])) < 0))
            return false;
    }
    std::string canonical = text;
    for (std::size_t i = 0; i < colon; ++i) {
        if (canonical[i] >= 'A' && canonical[i] <= 'Z')
            canonical[i] = static_cast<char>(canonical[i] + ('a' - 'A'));
    }
    m_url = canonical;
    return true;
}

bool URI::getFileNameString(std::string& out) const
{
    static const char prefix[] = "file:";
    if (m_url.compare(0, sizeof prefix - 1, prefix) != 0)
        return false;
    std::string rest = m_url.substr(sizeof prefix - 1);
    const std::size_t end = rest.find_first_of("?#");
    if (end != std::string::npos)
        rest.erase(end);
    if (rest.compare(0, 2, "//") == 0) {
        const std::size_t slash = rest.find('/', 2);
        const std::string host = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
        if (!host.empty() && !equalsIgnoringAsciiCase(host, "localhost"))
            return false;
        rest = slash == std::string::npos ? std::string() : rest.substr(slash);
    }
    if (rest.empty() || rest.front() != '/')
        return false;
    const std::optional<std::string> path = percentDecode(rest);
    if (!path || path->find('\0') != std::string::npos)
        return false;
    std::string text = FileName::POSIX2HFSPath(*path);
    if (text.empty())
        return false;
    if (path->back() == '/' && text.back() != FileName::DIR_SEPARATOR)
        text += FileName::DIR_SEPARATOR;
    out = text;
    return true;
}

bool URI::getFileName(FileName& out) const
{
    std::string text;
    if (!getFileNameString(text))
        return false;
    out.setFull(text);
    return true;
}

}  // namespace QV::GP
