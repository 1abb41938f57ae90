#include "UIA/CLI.h"

#include "GP/FileName.h"

namespace QV::UIA {

int CLI::s_argc = 0;
char** CLI::s_argv = nullptr;
std::string CLI::s_strOpenFileName;

void CLI::setCommandLineArguments(int argc, char** argv)
{
    s_argc = argc;
    s_argv = argv;
}

void CLI::setCommandLineFile(const GP::FileName& name) { s_strOpenFileName = name.getFull(); }

}  // namespace QV::UIA
