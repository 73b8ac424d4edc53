#pragma once
// Outside programs the tests start on loopback (a database, a broker): a
// free TCP port on 127.0.0.1 and the path of an installed program.
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// A port nothing listens on at the moment of asking: the kernel's choice
// for a socket bound to port 0, released again.
inline int FreeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

// The program's path on $PATH or in /usr/sbin (where daemons live), empty
// when it is not installed.
inline QString InstalledProgram(const QString& name)
{
    QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    return path;
}

#include <QByteArray>

// Sends `request` (a whole HTTP/1.0 request) to 127.0.0.1:`port` and returns
// everything the server answers until it closes; empty when it cannot
// connect.
inline QByteArray HttpExchange(int port, const QByteArray& request)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(quint16(port));
    QByteArray answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        ::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL);
        char buffer[65536];
        ssize_t n;
        while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
            answer.append(buffer, n);
    }
    ::close(fd);
    return answer;
}

// The body of GET `path`, with the status line checked by the caller.
inline QByteArray HttpGet(int port, const QByteArray& path)
{
    return HttpExchange(port, "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
}

// What `promtool check metrics` finds on a metrics page; empty when it finds
// nothing.
inline QString PromtoolFindings(const QByteArray& page)
{
    QProcess promtool;
    promtool.setProcessChannelMode(QProcess::MergedChannels);
    promtool.start(InstalledProgram(QStringLiteral("promtool")), {QStringLiteral("check"), QStringLiteral("metrics")});
    promtool.write(page);
    promtool.closeWriteChannel();
    promtool.waitForFinished(30000);
    const QString out = QString::fromUtf8(promtool.readAll());
    return promtool.exitCode() == 0 ? out : QStringLiteral("[exit %1] ").arg(promtool.exitCode()) + out;
}
