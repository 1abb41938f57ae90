// The number parser of the container format's subpaths ("<<12>") and similar decimal or hexadecimal
// fields.
#pragma once

#include <cstddef>
#include <string>

namespace QV::GP::DETAIL {

// Parses one number of type T from `text`, starting at byte position `start`, with the rules of a
// classic-locale input stream (leading white space skipped; hexadecimal when `hex`, with or without
// "0x"). A text with any byte outside 1..127 fails.
//   out: the number, 0 when the parse failed.
//   ok:  when not null, whether a number was read.
//   end: npos when the parse failed; the text's length when the number ran to the end of the text;
//        else the position of the first byte after the number.
template <class T>
void LexicalCastHelper(const std::string& text, T& out, bool* ok, std::size_t& end, std::size_t start, bool hex);

// Unsigned: a leading '-' fails instead of wrapping ("-1" is not 4294967295), and so does a value
// beyond 4294967295.
template <>
void LexicalCastHelper<unsigned int>(const std::string& text, unsigned int& out, bool* ok, std::size_t& end,
                                     std::size_t start, bool hex);

}  // namespace QV::GP::DETAIL
