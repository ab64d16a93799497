#include "tools/sim/device.h"

#include "tools/sim/protocol.h"

namespace sim {

namespace {

const char* KindName(TFrameKind kind) {
    switch (kind) {
        case TFrameKind::Last:
            return "last";
        case TFrameKind::Stop:
            return "stop";
        default:
            return "block";
    }
}

TTraceEvent FrameEvent(const char* name, const TParsedFrame& frame) {
    TTraceEvent event(frame.EndUs, name);
    event.Text("kind", KindName(frame.Kind))
        .Text("address", HexAddress(frame.Address))
        .Flag("checksum_ok", frame.ChecksumOk)
        .Number("start_us", frame.StartUs);
    return event;
}

}  // namespace

TDevice::TDevice(const TDeviceConfig& config, TDeviceSink& sink, qint64 nowUs)
    : mConfig(config), mSink(sink), mNoiseStartUs(nowUs) {}

void TDevice::Receive(const QByteArray& bytes, qint64 nowUs) {
    Advance(nowUs);
    std::vector<TParseEvent> events;
    mParser.Feed(bytes, nowUs, events);
    for (const TParseEvent& event : events) {
        if (mVanished) return;
        if (const auto* stray = std::get_if<TStrayByte>(&event))
            OnStray(*stray);
        else
            OnFrame(std::get<TParsedFrame>(event));
    }
    FlushSkipped();
}

void TDevice::Advance(qint64 nowUs) {
    if (mVanished) return;
    while (!mPending.empty() && mPending.front().DueUs <= nowUs) {
        const bool completes = mPending.front().Completes;
        mPending.pop_front();
        SendAck(nowUs, completes);
    }
    SendNoiseDue(nowUs);
}

std::optional<qint64> TDevice::NextDueUs() const {
    if (mVanished) return std::nullopt;
    std::optional<qint64> due;
    if (!mPending.empty()) due = mPending.front().DueUs;
    if (mConfig.NoiseRate > 0) due = due ? qMin(*due, NextNoiseUs()) : NextNoiseUs();
    return due;
}

void TDevice::OnStray(const TStrayByte& byte) {
    // Only an idle device listens for the handshake; while it takes frames, a request that
    // is still on its way from the tool's handshake is skipped like any other stray byte.
    if (mPhase == TPhase::Idle && byte.Value == kShakeRequest) {
        OnHandshake(byte.Us);
        return;
    }
    ++mSkipped;
    mSkippedUs = byte.Us;
}

void TDevice::OnHandshake(qint64 us) {
    FlushSkipped();
    ++mRequests;
    const bool answer = !mConfig.NeverAnswer && mRequests >= mConfig.AnswerAfter;
    mSink.Trace(TTraceEvent(us, "shake_rx").Number("n", mRequests).Flag("answered", answer));
    if (!answer) return;
    mSink.Send(QByteArray(1, char(kShakeReply)));
    mSink.Trace(TTraceEvent(us, "reply").Text("byte", "A5"));
    EnterFrames();
}

void TDevice::OnFrame(const TParsedFrame& frame) {
    FlushSkipped();
    if (!frame.TailOk)
        Reject(frame, "tail");
    else if (!frame.ChecksumOk)
        Reject(frame, "checksum");
    else if (frame.Kind == TFrameKind::Stop)
        OnStop(frame);
    else
        OnBlock(frame);
}

void TDevice::OnStop(const TParsedFrame& frame) {
    // With a good checksum of 0 the payload is all zero already.
    if (frame.Address != 0 || frame.Checksum != 0) {
        Reject(frame, "stop_fields");
        return;
    }
    ++mStats.StopFrames;
    mSink.Trace(FrameEvent("frame", frame));
    EnterIdle();
}

void TDevice::OnBlock(const TParsedFrame& frame) {
    if (mPhase == TPhase::Idle) {
        Reject(frame, "no_handshake");
        return;
    }
    if (!Store(frame)) {
        Reject(frame, "address");
        return;
    }
    ++mStats.GoodFrames;
    if (mConfig.VanishAfter > 0 && ++mGoodBlocks == mConfig.VanishAfter) {
        mSink.Trace(FrameEvent("frame", frame).Text("ack", "none"));
        mSink.Trace(TTraceEvent(frame.EndUs, "vanish"));
        mVanished = true;
        return;
    }
    const TAck ack = DecideAck();
    mSink.Trace(FrameEvent("frame", frame).Text("ack", AckName(ack)));
    if (ack == TAck::Sent)
        SendAck(frame.EndUs, mLastSeen);
    else if (ack == TAck::Delayed)
        mPending.push_back({frame.EndUs + mConfig.AckDelayUs, mLastSeen});
}

bool TDevice::Store(const TParsedFrame& frame) {
    // The next block, or the latest one again when the tool missed its acknowledgement.
    const bool next = !mLastSeen && frame.Address == mNextAddress;
    const bool again = !mImage.isEmpty() && frame.Address == mNextAddress - kPayloadSize;
    if (next) {
        mImage.append(frame.Payload);
        mNextAddress += kPayloadSize;
        mAcksForBlock = 0;
    } else if (again) {
        mImage.replace(mImage.size() - kPayloadSize, kPayloadSize, frame.Payload);
    } else {
        return false;
    }
    mLastSeen = frame.Kind == TFrameKind::Last;
    return true;
}

TDevice::TAck TDevice::DecideAck() {
    if (mConfig.NeverAck) return TAck::Withheld;
    ++mAcksForBlock;
    ++mAcksDue;
    if (mAcksForBlock <= mConfig.DropAcks) return TAck::Dropped;
    if (mConfig.DropEvery > 0 && mAcksDue % mConfig.DropEvery == 0) return TAck::Dropped;
    return mConfig.AckDelayUs > 0 ? TAck::Delayed : TAck::Sent;
}

const char* TDevice::AckName(TAck ack) {
    switch (ack) {
        case TAck::Delayed:
            return "delayed";
        case TAck::Dropped:
            return "dropped";
        case TAck::Withheld:
            return "withheld";
        default:
            return "sent";
    }
}

void TDevice::SendAck(qint64 us, bool completes) {
    mSink.Send(QByteArray(1, char(kBlockAck)));
    mSink.Trace(TTraceEvent(us, "reply").Text("byte", "85"));
    // The device is done only once the tool can know it: when the last block's
    // acknowledgement goes out. Until then the last block may come again.
    if (!completes) return;
    ++mStats.DevicesDone;
    mSink.ImageDone(mImage);
    mSink.Trace(TTraceEvent(us, "device_done")
                    .Number("n", mStats.DevicesDone)
                    .Number("size", mImage.size()));
    EnterIdle();
}

void TDevice::Reject(const TParsedFrame& frame, const char* reason) {
    ++mStats.BadFrames;
    mSink.Trace(FrameEvent("bad_frame", frame).Text("reason", reason));
}

void TDevice::FlushSkipped() {
    if (mSkipped == 0) return;
    mSink.Trace(TTraceEvent(mSkippedUs, "skipped").Number("count", mSkipped));
    mSkipped = 0;
}

void TDevice::EnterIdle() {
    // As a freshly connected device: what the last one had queued goes with it.
    mPhase = TPhase::Idle;
    mRequests = 0;
    mPending.clear();
}

void TDevice::EnterFrames() {
    mPhase = TPhase::Frames;
    mImage.clear();
    mNextAddress = kFlashBase;
    mLastSeen = false;
    mAcksForBlock = 0;
}

void TDevice::SendNoiseDue(qint64 nowUs) {
    if (mConfig.NoiseRate <= 0 || nowUs < NextNoiseUs()) return;
    const qint64 total = (nowUs - mNoiseStartUs) * mConfig.NoiseRate / 1000000;
    // After a stall only a few batches go out at once; the rest of the backlog is let go.
    const qint64 count = qMin(total - mNoiseSpent, 4 * NoiseBatch());
    mNoiseSpent = total;
    QByteArray bytes;
    for (qint64 i = 0; i < count; ++i) bytes.append(char(NoiseByte()));
    if (mSink.SendNoise(bytes))
        mSink.Trace(TTraceEvent(nowUs, "noise").Number("count", bytes.size()));
}

qint64 TDevice::NoiseBatch() const {
    // At most a hundred wake-ups a second, however high the rate.
    return qMax(1, (mConfig.NoiseRate + 99) / 100);
}

qint64 TDevice::NextNoiseUs() const {
    const qint64 bytes = mNoiseSpent + NoiseBatch();
    return mNoiseStartUs + (bytes * 1000000 + mConfig.NoiseRate - 1) / mConfig.NoiseRate;
}

quint8 TDevice::NoiseByte() {
    // xorshift32: cheap, and the same noise on every run.
    mNoiseState ^= mNoiseState << 13;
    mNoiseState ^= mNoiseState >> 17;
    mNoiseState ^= mNoiseState << 5;
    const quint8 b = quint8(mNoiseState);
    // Noise must never pass for a reply.
    return b == kShakeReply || b == kBlockAck ? quint8(b ^ 1) : b;
}

}  // namespace sim
