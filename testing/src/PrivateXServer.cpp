#include "QVTest/PrivateXServer.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

#include <cerrno>
#include <cstdlib>

namespace QV::TEST {

PrivateXServer::PrivateXServer()
{
    // Both pipes close on exec, so the programs that the tests start hold neither.
    int report[2];
    int hold[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return;
    if (pipe2(hold, O_CLOEXEC) != 0) {
        close(report[0]);
        close(report[1]);
        return;
    }
    m_starter = fork();
    if (m_starter == 0) {
        // The command under the server tells its display, then waits for the end of its input: the
        // last write end goes with the test process, and the starter ends the server after it.
        dup2(hold[0], STDIN_FILENO);
        dup2(report[1], STDOUT_FILENO);
        execl(QV_X_SERVER_STARTER, QV_X_SERVER_STARTER, "sh", "-c", "echo \"$DISPLAY\" && exec cat",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(report[1]);
    close(hold[0]);
    if (m_starter < 0) {
        close(report[0]);
        close(hold[1]);
        return;
    }
    m_hold = hold[1];
    // The starter either tells the display or ends, which closes the pipe.
    std::string line;
    char c = 0;
    for (;;) {
        const ssize_t got = read(report[0], &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got != 1 || c == '\n')
            break;
        line += c;
    }
    close(report[0]);
    if (line.size() > 1 && line[0] == ':')
        m_display = line;
}

PrivateXServer::~PrivateXServer()
{
    if (m_hold >= 0)
        close(m_hold);
    if (m_starter > 0)
        waitpid(m_starter, nullptr, 0);
}

bool PrivateXServer::makeDefault() const
{
    if (m_display.empty())
        return false;
    setenv("DISPLAY", m_display.c_str(), 1);
    setenv("GDK_BACKEND", "x11", 1);
    return true;
}

_XDisplay* PrivateXServer::connect() const { return m_display.empty() ? nullptr : XOpenDisplay(m_display.c_str()); }

void PrivateXServer::disconnect(_XDisplay* connection)
{
    if (connection)
        XCloseDisplay(connection);
}

PrivateXServer& PrivateXServer::shared()
{
    static PrivateXServer s_server;
    return s_server;
}

}  // namespace QV::TEST
