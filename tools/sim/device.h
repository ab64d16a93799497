// The target's bootloader as the tool meets it: answers the handshake, takes frames, stores
// and acknowledges good blocks, and misbehaves when told to. Driven by bytes and by time
// given from outside; everything it does goes to a sink, so it has no I/O of its own.
#pragma once

#include <QByteArray>
#include <deque>
#include <optional>

#include "tools/sim/frame_parser.h"
#include "tools/sim/trace_event.h"

namespace sim {

struct TDeviceConfig {
    int AnswerAfter = 1;  // the first handshake request answered, counted per device
    bool NeverAnswer = false;
    int DropAcks = 0;   // acknowledgements dropped for each block before one goes out
    int DropEvery = 0;  // every K-th acknowledgement is dropped; 0: none
    qint64 AckDelayUs = 0;
    bool NeverAck = false;
    int NoiseRate = 0;    // noise bytes per second; 0: none
    int VanishAfter = 0;  // vanish on receiving the N-th good block; 0: never
};

struct TDeviceStats {
    int DevicesDone = 0;
    int GoodFrames = 0;  // block and last-block frames stored
    int BadFrames = 0;
    int StopFrames = 0;
};

class TDeviceSink {
  public:
    virtual ~TDeviceSink() = default;
    // Replies for the tool; never left out.
    virtual void Send(const QByteArray& bytes) = 0;
    // Noise for the tool; false when the line is backed up and the bytes were left out.
    virtual bool SendNoise(const QByteArray& bytes) = 0;
    virtual void Trace(const TTraceEvent& event) = 0;
    // A device has finished: what it received, from the flash base up.
    virtual void ImageDone(const QByteArray& image) = 0;
};

class TDevice {
  public:
    TDevice(const TDeviceConfig& config, TDeviceSink& sink, qint64 nowUs);

    void Receive(const QByteArray& bytes, qint64 nowUs);
    // Sends what has fallen due by `nowUs`: delayed acknowledgements and noise.
    void Advance(qint64 nowUs);
    // When Advance next has something to send; nullopt when nothing is scheduled.
    std::optional<qint64> NextDueUs() const;

    // The device has gone away (--vanish-after); it does nothing more.
    bool Vanished() const { return mVanished; }
    const TDeviceStats& Stats() const { return mStats; }

  private:
    enum class TPhase { Idle, Frames };
    enum class TAck { Sent, Delayed, Dropped, Withheld };
    struct TPendingAck {
        qint64 DueUs;
        bool Completes;  // the acknowledgement of the image's last block
    };

    void OnStray(const TStrayByte& byte);
    void OnHandshake(qint64 us);
    void OnFrame(const TParsedFrame& frame);
    void OnStop(const TParsedFrame& frame);
    void OnBlock(const TParsedFrame& frame);
    bool Store(const TParsedFrame& frame);
    TAck DecideAck();
    static const char* AckName(TAck ack);
    void SendAck(qint64 us, bool completes);
    void Reject(const TParsedFrame& frame, const char* reason);
    void FlushSkipped();
    void EnterIdle();
    void EnterFrames();
    void SendNoiseDue(qint64 nowUs);
    qint64 NoiseBatch() const;
    qint64 NextNoiseUs() const;
    quint8 NoiseByte();

    const TDeviceConfig mConfig;
    TDeviceSink& mSink;
    TFrameParser mParser;
    TDeviceStats mStats;
    bool mVanished = false;
    int mGoodBlocks = 0;  // over all devices, for --vanish-after
    int mAcksDue = 0;     // over all devices, for --drop-every

    TPhase mPhase = TPhase::Idle;
    int mRequests = 0;  // handshake requests of this device
    QByteArray mImage;
    quint32 mNextAddress = 0;  // where the next new block goes
    bool mLastSeen = false;    // the latest block stored is the image's last
    int mAcksForBlock = 0;     // for --drop-acks
    std::deque<TPendingAck> mPending;

    int mSkipped = 0;  // bytes outside frames not yet traced
    qint64 mSkippedUs = 0;

    qint64 mNoiseStartUs;
    qint64 mNoiseSpent = 0;
    quint32 mNoiseState = 0x9E3779B9;
};

}  // namespace sim
