#pragma once
// A real pseudo-terminal pair for tests: the port under test opens the slave
// by its path, the test plays the far end on the master descriptor.
#include <QByteArray>
#include <QString>

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    QString SlavePath() const { return slavePath_; }
    int Master() const { return master_; }

    // Writes all bytes to the master (the port reads them).
    void Write(const QByteArray& bytes);
    // Reads what the port wrote, waiting up to `timeoutMs` for `count` bytes;
    // returns what arrived.
    QByteArray Read(int count, int timeoutMs = 2000);
    // Reads everything that arrives until the line has been quiet for `quietMs`.
    QByteArray ReadAll(int quietMs = 100);
    // Closes the master end, as a pulled cable would.
    void CloseMaster();

private:
    int master_ = -1;
    int slaveKeeper_ = -1;  // keeps the slave alive until the port opens it
    QString slavePath_;
};

// Number of open file descriptors of this process.
int OpenDescriptorCount();
