#include "tests/support/PgCluster.h"

#include "app/Error.h"

#include <QFile>
#include <QProcess>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString serverPrograms = QStringLiteral("/usr/lib/postgresql/15/bin/");
const char* const serverUser = "postgres";

// A loopback port nobody listens on now: the kernel's pick for port 0.
int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        ::close(fd);
    if (port == 0)
        throw Error(QStringLiteral("no free loopback port for a test server"));
    return port;
}

// initdb and the server refuse to run as root.
void handToServerUser(const QString& path) {
    if (::geteuid() != 0)
        return;
    const passwd* user = ::getpwnam(serverUser);
    if (!user)
        throw Error(QStringLiteral("no user \"postgres\" to run a test server as"));
    if (::chown(QFile::encodeName(path).constData(), user->pw_uid, user->pw_gid) != 0)
        throw Error(QStringLiteral("cannot hand ") + path + QStringLiteral(" to postgres"));
}

} // namespace

PgCluster::PgCluster()
    : port_(freeLoopbackPort()) {
    folder_.setAutoRemove(true);
    handToServerUser(folder_.path());
    run(QStringLiteral("initdb"),
        {QStringLiteral("-D"), dataFolder(), QStringLiteral("-U"), QStringLiteral("postgres"),
         QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"),
         QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("--no-sync")});
    // Passwords for the roles that tests give one; everyone else is trusted.
    QFile hba(dataFolder() + QStringLiteral("/pg_hba.conf"));
    const QByteArray trusted = [&] {
        hba.open(QIODevice::ReadOnly);
        return hba.readAll();
    }();
    hba.close();
    if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        hba.write("local all +password_users scram-sha-256\n"
                  "host all +password_users 127.0.0.1/32 scram-sha-256\n" +
                  trusted) < 0)
        throw Error(QStringLiteral("cannot write ") + hba.fileName());
    hba.close();
    writeSettings();
    start();
}

PgCluster::PgCluster(const PgCluster& primary, StandbyTag)
    : port_(freeLoopbackPort()) {
    folder_.setAutoRemove(true);
    handToServerUser(folder_.path());
    run(QStringLiteral("pg_basebackup"),
        {QStringLiteral("-h"), primary.socketFolder(), QStringLiteral("-p"),
         QString::number(primary.port()), QStringLiteral("-U"), QStringLiteral("postgres"),
         QStringLiteral("-D"), dataFolder(), QStringLiteral("-R"), QStringLiteral("-X"),
         QStringLiteral("stream"), QStringLiteral("-c"), QStringLiteral("fast"),
         QStringLiteral("--no-sync")});
    writeSettings();
    start();
}

PgCluster::~PgCluster() {
    if (!running_)
        return;
    try {
        run(QStringLiteral("pg_ctl"),
            {QStringLiteral("stop"), QStringLiteral("-D"), dataFolder(), QStringLiteral("-m"),
             QStringLiteral("immediate"), QStringLiteral("-w")});
    } catch (const Error&) {
        // The folder goes anyway; a server left behind dies with its socket.
    }
}

std::unique_ptr<PgCluster> PgCluster::makeStandby() const {
    return std::unique_ptr<PgCluster>(new PgCluster(*this, StandbyTag{}));
}

// The folder is quoted: a program's name with spaces (the window's) names
// its temporary folders.
QString PgCluster::connectionString(const QString& database) const {
    return QStringLiteral("host='%1' port=%2 user=postgres dbname=%3")
        .arg(socketFolder())
        .arg(port_)
        .arg(database);
}

void PgCluster::start() {
    run(QStringLiteral("pg_ctl"),
        {QStringLiteral("start"), QStringLiteral("-D"), dataFolder(), QStringLiteral("-w"),
         QStringLiteral("-l"), folder_.filePath(QStringLiteral("server.log"))});
    running_ = true;
}

void PgCluster::stop() {
    run(QStringLiteral("pg_ctl"),
        {QStringLiteral("stop"), QStringLiteral("-D"), dataFolder(), QStringLiteral("-m"),
         QStringLiteral("fast"), QStringLiteral("-w")});
    running_ = false;
}

void PgCluster::promote() {
    run(QStringLiteral("pg_ctl"),
        {QStringLiteral("promote"), QStringLiteral("-D"), dataFolder(), QStringLiteral("-w")});
}

QString PgCluster::dataFolder() const {
    return folder_.filePath(QStringLiteral("data"));
}

// Small and careless with the disk: a test server holds a few thousand rows
// and is thrown away.
void PgCluster::writeSettings() const {
    QFile conf(dataFolder() + QStringLiteral("/postgresql.conf"));
    const QByteArray settings = QStringLiteral("\nport = %1\n"
                                               "listen_addresses = '127.0.0.1'\n"
                                               "unix_socket_directories = '%2'\n"
                                               "shared_buffers = 16MB\n"
                                               "max_connections = 40\n"
                                               "fsync = off\n"
                                               "synchronous_commit = off\n"
                                               "wal_receiver_status_interval = 1s\n"
                                               "password_encryption = 'scram-sha-256'\n")
                                    .arg(port_)
                                    .arg(socketFolder())
                                    .toUtf8();
    if (!conf.open(QIODevice::Append) || conf.write(settings) < 0)
        throw Error(QStringLiteral("cannot write ") + conf.fileName());
}

void PgCluster::run(const QString& program, const QStringList& arguments) const {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // The server's user cannot enter root's working folder.
    process.setWorkingDirectory(folder_.path());
    if (::geteuid() == 0) {
        process.start(QStringLiteral("runuser"),
                      QStringList{QStringLiteral("-u"), QString::fromLatin1(serverUser),
                                  QStringLiteral("--"), serverPrograms + program} +
                          arguments);
    } else {
        process.start(serverPrograms + program, arguments);
    }
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        throw Error(program + QStringLiteral(" failed: ") +
                    QString::fromLocal8Bit(process.readAll()) + process.errorString());
    }
}
