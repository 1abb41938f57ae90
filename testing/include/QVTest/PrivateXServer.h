// An X server of the test process's own (Xvfb on a free display number), so that changing its
// keyboard layout disturbs no other test. One per process: GDK keeps the first display it opens as
// the default one, so every test of the process uses the same server. It ends with the process.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace QV::TEST {

class PrivateXServer {
public:
    // Starts Xvfb and waits (at most ten seconds) until it tells its display number.
    PrivateXServer()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            // The server goes with the test process, however that ends, and holds none of its output.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            const int devNull = open("/dev/null", O_RDWR);
            dup2(devNull, STDIN_FILENO);
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd ready{fds[0], POLLIN, 0};
        char c = 0;
        while (m_pid > 0 && poll(&ready, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (!number.empty())
            m_display = ":" + number;
    }
    ~PrivateXServer()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // ":n", empty when the server did not start.
    const std::string& display() const { return m_display; }

    // The process's server, started on first use.
    static PrivateXServer& shared()
    {
        static PrivateXServer s_server;
        return s_server;
    }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

}  // namespace QV::TEST
