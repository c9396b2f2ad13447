#pragma once

#include <QString>

// A server on the loopback that takes connections and never answers them,
// as a host that hangs does.
class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    // A libpq connection string to it that gives up after a second.
    QString connectionString() const;

private:
    int socket_ = -1;
    quint16 port_ = 0;
};
