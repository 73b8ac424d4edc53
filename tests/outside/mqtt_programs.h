#pragma once
// The MQTT programs the tests run: a mosquitto broker on a free loopback
// port, mosquitto_sub as the subscriber, and a newcomer's read of a retained
// topic.
#include "tests/support/loopback.h"
#include "tests/support/wait.h"

#include <QFile>
#include <QProcess>

#include <vector>

// A mosquitto broker on a free loopback port, its sessions kept across a
// restart (so a subscriber misses nothing while it comes back).
class Broker {
public:
    explicit Broker(const QString& folder, const QByteArray& extra = {}) : folder_(folder), port_(FreeLoopbackPort())
    {
        QFile conf(folder + QStringLiteral("/mosquitto.conf"));
        conf.open(QIODevice::WriteOnly);
        conf.write("listener " + QByteArray::number(port_) + " 127.0.0.1\n" + "persistence true\npersistence_location "
            + folder.toUtf8() + "/\nlog_dest none\n"
            // Run by root (a container's CI), it would otherwise become the
            // mosquitto user, who cannot read the test's own folder.
            + QByteArray(::getuid() == 0 ? "user root\n" : "") + (extra.isEmpty() ? QByteArray("allow_anonymous true\n") : extra));
    }
    ~Broker() { Stop(); }
    void Start()
    {
        process_.start(InstalledProgram(QStringLiteral("mosquitto")), {QStringLiteral("-c"), folder_ + QStringLiteral("/mosquitto.conf")});
        process_.waitForStarted();
        WaitIdly([&] { return connectable(); }, 10000, 20);
    }
    void Stop()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        process_.waitForFinished(10000);
    }
    int Port() const { return port_; }

private:
    bool connectable() const
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(quint16(port_));
        const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        ::close(fd);
        return ok;
    }
    QString folder_;
    int port_;
    QProcess process_;
};

// mosquitto_sub on `topics`, a persistent QoS 1 session, each message as
// "topic<TAB>retained<TAB>payload".
class Subscriber {
public:
    Subscriber(int port, const QStringList& topics, const QString& id = QStringLiteral("veltra8-test"))
    {
        QStringList arguments{QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port), QStringLiteral("-q"),
            QStringLiteral("1"), QStringLiteral("-c"), QStringLiteral("-i"), id, QStringLiteral("-F"), QStringLiteral("%t\t%r\t%p")};
        for (const QString& t : topics)
            arguments << QStringLiteral("-t") << t;
        process_.start(InstalledProgram(QStringLiteral("mosquitto_sub")), arguments);
        process_.waitForStarted();
    }
    ~Subscriber()
    {
        process_.kill();
        process_.waitForFinished();
    }
    struct Message {
        QString topic;
        bool retained;
        QByteArray payload;
    };
    // Every message so far.
    const std::vector<Message>& Messages()
    {
        while (process_.canReadLine()) {
            const QByteArray line = process_.readLine().chopped(1);
            const QList<QByteArray> parts = line.split('\t');
            if (parts.size() >= 3)
                messages_.push_back({QString::fromUtf8(parts[0]), parts[1] == "1", line.mid(parts[0].size() + parts[1].size() + 2)});
        }
        return messages_;
    }
    std::vector<Message> On(const QString& topic)
    {
        std::vector<Message> found;
        for (const Message& m : Messages())
            if (m.topic == topic)
                found.push_back(m);
        return found;
    }
    bool WaitFor(const QString& topic, const QByteArray& payload, int timeoutMs = 10000)
    {
        return WaitIdly([&] {
            for (const Message& m : On(topic))
                if (m.payload == payload)
                    return true;
            return false;
        }, timeoutMs, 20);
    }

private:
    QProcess process_;
    std::vector<Message> messages_;
};

// The retained message on `topic` as a newcomer reads it.
inline QByteArray Retained(int port, const QString& topic)
{
    QProcess p;
    p.start(InstalledProgram(QStringLiteral("mosquitto_sub")), {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
        QString::number(port), QStringLiteral("-t"), topic, QStringLiteral("-C"), QStringLiteral("1"), QStringLiteral("-W"), QStringLiteral("3")});
    p.waitForFinished(10000);
    return p.readAllStandardOutput().trimmed();
}

