#include "tools/sim/frame_parser.h"

#include "tools/sim/protocol.h"

namespace sim {

namespace {

bool IsHeaderByte(quint8 b) {
    return b == kBlockHeader || b == kLastHeader || b == kStopHeader;
}

quint32 BigEndian32(const char* p) {
    const auto* u = reinterpret_cast<const quint8*>(p);
    return quint32(u[0]) << 24 | quint32(u[1]) << 16 | quint32(u[2]) << 8 | quint32(u[3]);
}

TFrameKind KindOf(quint8 header) {
    if (header == kLastHeader) return TFrameKind::Last;
    if (header == kStopHeader) return TFrameKind::Stop;
    return TFrameKind::Block;
}

}  // namespace

void TFrameParser::Feed(const QByteArray& bytes, qint64 nowUs, std::vector<TParseEvent>& out) {
    mBuf.append(bytes);
    mTimes.insert(mTimes.end(), size_t(bytes.size()), nowUs);
    qsizetype pos = 0;
    while (pos < mBuf.size()) {
        const quint8 first = quint8(mBuf[pos]);
        const qsizetype left = mBuf.size() - pos;
        if (!IsHeaderByte(first)) {
            out.push_back(TStrayByte{first, mTimes[size_t(pos)]});
            ++pos;
            continue;
        }
        if (left < 2) break;  // the header's second byte is still on its way
        if (quint8(mBuf[pos + 1]) != first) {
            out.push_back(TStrayByte{first, mTimes[size_t(pos)]});
            ++pos;
            continue;
        }
        if (left < kFrameSize) break;
        TParsedFrame frame = Decode(pos);
        // A header without its tail was no frame's start: look again from its next byte, so
        // a real header among the bytes it swallowed is still found.
        pos += frame.TailOk ? kFrameSize : 1;
        out.push_back(std::move(frame));
    }
    mBuf.remove(0, pos);
    mTimes.erase(mTimes.begin(), mTimes.begin() + pos);
}

TParsedFrame TFrameParser::Decode(qsizetype at) const {
    const char* p = mBuf.constData() + at;
    TParsedFrame frame;
    frame.Kind = KindOf(quint8(p[0]));
    frame.Address = BigEndian32(p + 2);
    frame.Payload = QByteArray(p + 6, kPayloadSize);
    frame.Checksum = BigEndian32(p + 6 + kPayloadSize);
    frame.TailOk = quint8(p[kFrameSize - 2]) == kTail0 && quint8(p[kFrameSize - 1]) == kTail1;
    quint32 sum = 0;
    for (char c : frame.Payload) sum += quint8(c);
    frame.ChecksumOk = sum == frame.Checksum;
    frame.StartUs = mTimes[size_t(at)];
    frame.EndUs = mTimes[size_t(at + kFrameSize - 1)];
    return frame;
}

}  // namespace sim
