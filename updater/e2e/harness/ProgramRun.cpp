#include "ProgramRun.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace QV::E2E {

ProgramRun::ProgramRun(const std::vector<std::string>& command,
                       const std::vector<std::pair<std::string, std::string>>& environment,
                       const std::string& outputFile)
    : m_outputFile(outputFile)
{
    if (command.empty())
        return;
    std::vector<char*> arguments;
    for (const std::string& argument : command)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);

    m_pid = fork();
    if (m_pid == 0) {
        setpgid(0, 0);
        // The signals a test process may block (a harness's waits) are the program's again.
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        const int output = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (output >= 0) {
            dup2(output, STDOUT_FILENO);
            dup2(output, STDERR_FILENO);
        }
        if (input >= 0)
            dup2(input, STDIN_FILENO);
        for (const auto& [name, value] : environment)
            setenv(name.c_str(), value.c_str(), 1);
        execvp(arguments[0], arguments.data());
        std::fprintf(stderr, "cannot run %s: %s\n", arguments[0], std::strerror(errno));
        _exit(127);
    }
    if (m_pid > 0)
        setpgid(m_pid, m_pid);  // also here, so the group exists before the child gets to it
}

ProgramRun::~ProgramRun()
{
    if (m_pid <= 0)
        return;
    // The group: the program and anything it started (vdx-sim's command).
    kill(-m_pid, SIGKILL);
    if (!m_status) {
        while (waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
}

void ProgramRun::signal(int number) const
{
    if (m_pid > 0)
        kill(m_pid, number);
}

bool ProgramRun::running()
{
    if (m_pid <= 0 || m_status)
        return false;
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) != m_pid)
        return true;
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
}

std::optional<int> ProgramRun::waitExit(std::chrono::milliseconds timeout)
{
    waitUntil([this] { return !running(); }, timeout);
    return m_status;
}

std::string ProgramRun::output() const
{
    std::ifstream file(m_outputFile);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace QV::E2E
