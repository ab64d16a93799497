// A pseudo-terminal pair: the tool opens the terminal side by its path, the test plays the
// device on the other side.
#pragma once

#include <QByteArray>
#include <QString>
#include <QSocketNotifier>
#include <functional>
#include <memory>

class TPtyPair {
public:
    TPtyPair();
    ~TPtyPair();
    TPtyPair(const TPtyPair&) = delete;
    TPtyPair& operator=(const TPtyPair&) = delete;

    // The path the tool opens, e.g. /dev/pts/3.
    const QString& Path() const { return mPath; }

    void Write(const QByteArray& bytes);
    // Reads what the tool has sent, for at most `count` bytes or until `timeoutMs` passes.
    QByteArray Read(int count, int timeoutMs);
    // Everything that arrives within `quietMs` of the last byte.
    QByteArray ReadAll(int quietMs = 50);
    // The device goes away: the tool's side then fails its reads and writes.
    void CloseDevice();

    // From now on, what the tool sends is taken in the event loop as it arrives: appended to
    // Received, with its arrival time, and passed to `onBytes` (a scripted device's answer).
    void Listen(std::function<void(const QByteArray&)> onBytes = {});
    struct TChunk {
        qint64 AtMs;
        QByteArray Bytes;
    };
    QByteArray Received;
    QList<TChunk> Chunks;
    // When the byte at `offset` of Received arrived, in ms of a monotonic clock.
    qint64 ArrivalMs(qsizetype offset) const;

private:
    int mMaster = -1;
    int mSlaveHold = -1;
    QString mPath;
    std::unique_ptr<QSocketNotifier> mNotifier;
    std::function<void(const QByteArray&)> mOnBytes;
};

// Runs the event loop until `done` holds or `timeoutMs` passes; returns `done()`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);

// Runs the event loop for `ms` in waits of at most `waitMs`, and counts the turns: a loop that
// blocks between events turns about ms / waitMs times, a spinning one thousands.
int IdleTurns(int ms, int waitMs);

// Runs the event loop for `ms`: for the checks that something does not happen.
inline void RunEventsFor(int ms) {
    IdleTurns(ms, ms);
}
