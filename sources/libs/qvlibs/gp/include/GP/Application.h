// The application's identity inside the platform core: its name (the default title of message boxes)
// and its four-character signature (the creator code of files it creates). Set by the library start.
#pragma once

#include "GP/FileTypeMacMagic.h"

#include <cstddef>

namespace QV::GP {

class Application {
public:
    static constexpr std::size_t kMaxNameLength = 255;

    // Copies at most kMaxNameLength bytes of `name`, always NUL-terminated. Null is ignored.
    static void setName(const char* name);
    static void setSignature(FileTypeMacMagic signature);

    // "Orvendal" until setName().
    static char s_pAppName[kMaxNameLength + 1];
    // '????' until setSignature().
    static FileTypeMacMagic s_appSignature;
};

}  // namespace QV::GP
