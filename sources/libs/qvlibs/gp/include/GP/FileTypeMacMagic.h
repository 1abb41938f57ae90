// Four-character codes: creator and type codes of files and applications ('QVDX', '????').
#pragma once

#include <cstdint>
#include <string>

namespace QV::GP {

// The four characters packed big-end first: 'QVDX' is 0x51564458.
using FileTypeMacMagic = std::uint32_t;

// The code of a four-character literal, without the compiler's multi-character constant:
// fourCharCode("QVDX") == 0x51564458.
constexpr FileTypeMacMagic fourCharCode(const char (&code)[5])
{
    return (FileTypeMacMagic(static_cast<unsigned char>(code[0])) << 24) |
           (FileTypeMacMagic(static_cast<unsigned char>(code[1])) << 16) |
           (FileTypeMacMagic(static_cast<unsigned char>(code[2])) << 8) |
           FileTypeMacMagic(static_cast<unsigned char>(code[3]));
}

// The four characters of a code, for messages and logs.
inline std::string fourCharCodeText(FileTypeMacMagic code)
{
    return std::string{static_cast<char>(code >> 24), static_cast<char>(code >> 16), static_cast<char>(code >> 8),
                       static_cast<char>(code)};
}

}  // namespace QV::GP
