// The platform core's thin layer over boost.format: display texts from fixed templates with
// positional ("%1%") or printf-style ("%d", "0x%X", "S%u") placeholders. The template language,
// the conversion of each argument and the errors (boost::io::format_error and its kin for a bad
// template or a wrong argument count) are boost.format's own.
#pragma once

#include <boost/format.hpp>

#include <string>

namespace QV::GP::DETAIL {

template <class Char>
struct FormatHelper {
    using FormatType = boost::basic_format<Char>;
    using FormatResultStringType = std::basic_string<Char>;
};

// `format` filled with its one argument.
template <class Char, class T>
typename FormatHelper<Char>::FormatResultStringType BasicFormat(const Char* format, T const& arg)
{
    typename FormatHelper<Char>::FormatType f(format);
    f % arg;
    return f.str();
}

// The caller's format object, filled with the arguments in their order.
template <class Char>
struct FormatApply {
    template <class... Args>
    static typename FormatHelper<Char>::FormatResultStringType apply(typename FormatHelper<Char>::FormatType f,
                                                                     const Args&... args)
    {
        (f % ... % args);
        return f.str();
    }
};

}  // namespace QV::GP::DETAIL

namespace QV::GP {

// `format` filled with `args` in their order.
template <class... Args>
std::string formatText(const char* format, const Args&... args)
{
    return DETAIL::FormatApply<char>::apply(boost::format(format), args...);
}

}  // namespace QV::GP
