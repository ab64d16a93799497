// The tool's end of the simulator's line, in plain POSIX: what a test writes there reaches
// the simulated device, and its replies are read back with a deadline.
#pragma once

#include <QByteArray>
#include <QString>

class TToolLine {
  public:
    explicit TToolLine(const QString& devicePath);  // raw, non-blocking; check IsOpen()
    ~TToolLine();
    TToolLine(const TToolLine&) = delete;
    TToolLine& operator=(const TToolLine&) = delete;

    bool IsOpen() const { return mFd >= 0; }
    // Writes all of `bytes`, waiting for room; false on an error or after `timeoutMs`.
    bool Write(const QByteArray& bytes, int timeoutMs = 5000);
    // Until `count` bytes came or `timeoutMs` passed.
    QByteArray Read(int count, int timeoutMs = 5000);
    // What has arrived already, without waiting.
    QByteArray ReadWaiting();
    // Until a read fails or reports the hang-up of a vanished device.
    bool WaitForHangUp(int timeoutMs = 5000);
    void Close();

  private:
    int mFd = -1;
};
