#include "GP/StringUtil.h"

#include "GP/CodePointWalk.h"

#include <algorithm>
#include <string>

namespace QV::GP {

namespace {

char32_t upper(char32_t c) { return DETAIL::toUpperCodePoint(c); }

}  // namespace

std::size_t StringUtil::findPosOfSubStringNoCase(const std::string& text, const std::string& sub, std::size_t start)
{
    if (start > text.size())
        return std::string::npos;
    if (sub.empty())
        return start;

    // Fold the needle once.
    std::u32string needle;
    for (const char *p = sub.data(), *e = p + sub.size(); p != e;)
        needle.push_back(upper(nextCodePoint(p, e)));

    const char* const begin = text.data();
    const char* const end = begin + text.size();
    for (const char* p = begin + start; p != end;) {
        const char* q = p;
        std::size_t matched = 0;
        while (matched < needle.size() && q != end && upper(nextCodePoint(q, end)) == needle[matched])
            ++matched;
        if (matched == needle.size())
            return static_cast<std::size_t>(p - begin);
        nextCodePoint(p, end);
    }
    return std::string::npos;
}

std::size_t StringUtil::countMatchingCharacters(const std::string& a, const std::string& b, std::size_t start,
                                                bool caseSensitive)
{
    if (start >= a.size())
        return 0;
    const char* const first = a.data() + start;
    const char* const endA = a.data() + a.size();
    const char* const endB = b.data() + b.size();
    const char* p = first;
    const char* q = b.data();
    while (p != endA && q != endB) {
        const char* next = p;
        const char32_t ca = nextCodePoint(next, endA);
        const char32_t cb = nextCodePoint(q, endB);
        if (ca != cb && (caseSensitive || upper(ca) != upper(cb)))
            break;
        p = next;
    }
    return static_cast<std::size_t>(p - first);
}

void StringUtil::removeFirst(std::string& text, std::size_t n) { text.erase(0, std::min(n, text.size())); }

void StringUtil::appendCharASCII(std::string& text, char c)
{
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0 && byte < 128)
        text.push_back(c);
}

std::string StringUtil::toAscii(const std::string& text)
{
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0 || byte >= 128)
            return std::string();
    }
    return text;
}

template <>
int wstrcmpc<char>(const char* a, const char* b, bool caseSensitive)
{
    const char* pa = a ? a : "";
    const char* pb = b ? b : "";
    const char* const endA = pa + std::char_traits<char>::length(pa);
    const char* const endB = pb + std::char_traits<char>::length(pb);
    for (;;) {
        if (pa == endA)
            return pb == endB ? 0 : -1;
        if (pb == endB)
            return 1;
        char32_t ca = nextCodePoint(pa, endA);
        char32_t cb = nextCodePoint(pb, endB);
        if (ca == cb)
            continue;
        if (!caseSensitive) {
            ca = upper(ca);
            cb = upper(cb);
            if (ca == cb)
                continue;
        }
        return ca < cb ? -1 : 1;
    }
}

}  // namespace QV::GP
