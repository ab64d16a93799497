// Where the running simulator's device output goes: replies and noise to the terminal,
// events to the trace file, finished images to the --out file.
#pragma once

#include <QByteArray>
#include <QString>

#include "tools/sim/device.h"

namespace sim {

class TLineSink : public TDeviceSink {
  public:
    // `traceFd` -1: no trace; `outPath` empty: images are not kept.
    TLineSink(int master, int traceFd, QString outPath);

    void Send(const QByteArray& bytes) override;
    bool SendNoise(const QByteArray& bytes) override;
    void Trace(const TTraceEvent& event) override;
    void ImageDone(const QByteArray& image) override;

    // Writes what the terminal takes now, without waiting.
    void Flush();
    // Bytes the terminal has not taken yet.
    bool Pending() const { return !mOut.isEmpty(); }

  private:
    int mMaster;
    int mTraceFd;
    QString mOutPath;
    QByteArray mOut;
};

}  // namespace sim
