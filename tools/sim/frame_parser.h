// Cuts the bytes from the tool into frames. Incremental and free of I/O: feed it what a read
// brought, it reports each complete frame and each byte that lies outside any frame.
#pragma once

#include <QByteArray>
#include <variant>
#include <vector>

namespace sim {

enum class TFrameKind { Block, Last, Stop };

struct TParsedFrame {
    TFrameKind Kind = TFrameKind::Block;
    quint32 Address = 0;
    quint32 Checksum = 0;     // as sent
    bool ChecksumOk = false;  // sent checksum == sum of the payload bytes
    // False when the bytes after the header do not end in the tail: the header was not a
    // frame's start (garbage that looked like one, or a frame that lost bytes).
    bool TailOk = false;
    QByteArray Payload;
    qint64 StartUs = 0;  // arrival of the first header byte
    qint64 EndUs = 0;    // arrival of the last tail byte
};

// A byte that starts no frame: a handshake request, or garbage.
struct TStrayByte {
    quint8 Value = 0;
    qint64 Us = 0;
};

using TParseEvent = std::variant<TStrayByte, TParsedFrame>;

class TFrameParser {
  public:
    // `bytes` arrived at `nowUs`; the events they complete are appended to `out` in order.
    void Feed(const QByteArray& bytes, qint64 nowUs, std::vector<TParseEvent>& out);

  private:
    TParsedFrame Decode(qsizetype at) const;

    // Bytes not yet reported, each with its arrival time.
    QByteArray mBuf;
    std::vector<qint64> mTimes;
};

}  // namespace sim
