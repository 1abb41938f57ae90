#include "GP/Application.h"

#include <cstring>

namespace QV::GP {

char Application::s_pAppName[kMaxNameLength + 1] = "Orvendal";
FileTypeMacMagic Application::s_appSignature = fourCharCode("????");

void Application::setName(const char* name)
{
    if (!name)
        return;
    const std::size_t length = strnlen(name, kMaxNameLength);
    std::memcpy(s_pAppName, name, length);
    s_pAppName[length] = '\0';
}

void Application::setSignature(FileTypeMacMagic signature) { s_appSignature = signature; }

}  // namespace QV::GP
