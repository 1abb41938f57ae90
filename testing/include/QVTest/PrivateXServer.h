// An X server of the test process's own, started by scripts/with-own-x-server as every X server of
// the tests is, so that its input and keyboard layout are nobody else's. One per process: GDK keeps
// the first display it opens as the default one, so every test of the process uses the same server.
// It ends with the process, however that ends.
#pragma once

#include <sys/types.h>

#include <string>

// Xlib's Display, declared without Xlib's macros (None, Bool, Status), which would clash with the
// names of the headers that the tests include after this one.
struct _XDisplay;

namespace QV::TEST {

class PrivateXServer {
public:
    // Starts the server and waits until it tells its display (the starter gives up on a server that
    // does not start).
    PrivateXServer();
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // ":n", empty when the server did not start.
    const std::string& display() const { return m_display; }

    // Makes the server the process's default display, for GDK on X11 too; false without a server.
    bool makeDefault() const;
    // A connection of its own to the server (XCloseDisplay or disconnect ends it); null without one.
    _XDisplay* connect() const;
    static void disconnect(_XDisplay* connection);

    // The process's server, started on first use.
    static PrivateXServer& shared();

private:
    pid_t m_starter = -1;
    int m_hold = -1;  // the starter's input: its closing ends the server
    std::string m_display;
};

}  // namespace QV::TEST
