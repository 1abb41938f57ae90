// Runs a shell command for a test and keeps what it printed (standard output and error) and its
// exit status.
#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace QV::TEST {

struct tRun {
    int status = -1;  // the exit status; -1 when the command did not exit normally
    std::string output;
};

inline tRun runCommand(const std::string& command)
{
    tRun result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    char chunk[4096];
    std::size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0)
        result.output.append(chunk, count);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The first line a command prints (standard output and error), without its line end.
inline std::string firstLineOf(const std::string& command)
{
    const std::string output = runCommand(command).output;
    return output.substr(0, output.find('\n'));
}

}  // namespace QV::TEST
