// The program's command line, kept for the parts that ask for it later, and a file that the system
// asked the program to open before the application existed.
#pragma once

#include <string>

namespace QV::GP {
class FileName;
}

namespace QV::UIA {

class CLI {
public:
    // Keeps both pointers as they are: the caller keeps the strings alive.
    static void setCommandLineArguments(int argc, char** argv);
    // Keeps the file name's path text.
    static void setCommandLineFile(const GP::FileName& name);

    static int s_argc;
    static char** s_argv;
    static std::string s_strOpenFileName;
};

}  // namespace QV::UIA
