#include "GP/Assertion.h"
#include "GP/DebugTrace.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace QV::GP {

std::FILE* s_fErr = nullptr;

void fcloseall()
{
    if (s_fErr) {
        std::fclose(s_fErr);
        s_fErr = nullptr;
    }
}

void ExitProcess(int status)
{
    if (gettid() == getpid())
        std::exit(status);
    std::fflush(nullptr);
    _exit(status);
}

}  // namespace QV::GP
