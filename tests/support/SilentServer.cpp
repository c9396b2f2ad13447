#include "SilentServer.h"

#include <QtGlobal>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

SilentServer::SilentServer()
    : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (socket_ < 0 ||
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(socket_, 8) != 0 ||
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        qFatal("A listening socket on the loopback could not be made");
    port_ = ntohs(address.sin_port);
}

SilentServer::~SilentServer() {
    ::close(socket_);
}

QString SilentServer::connectionString() const {
    return QStringLiteral("host=127.0.0.1 port=%1 user=postgres connect_timeout=1").arg(port_);
}
