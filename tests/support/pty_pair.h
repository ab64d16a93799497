// A pseudo-terminal pair: the tool opens the terminal side by its path, the test plays the
// device on the other side.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

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

private:
    int mMaster = -1;
    QString mPath;
};

// Runs the event loop until `done` holds or `timeoutMs` passes; returns `done()`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);
