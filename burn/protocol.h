// The wire protocol with the target device: the constants, and the conversions that turn a
// frame's 32-bit fields into text for the hex send path.
#pragma once

#include <QByteArray>
#include <QString>

// Program-wide protocol values, given their bytes once at start by SetProtocolConstants.
extern QByteArray ShakeRequest;     // 5Ah, the handshake request
extern QByteArray ShakeReply;       // A5h, the device's answer to it
extern QByteArray BlockHeader;      // F0h F0h, a block that is not the file's last
extern QByteArray LastBlockHeader;  // F1h F1h, the file's last block
extern QByteArray StopHeader;       // F2h F2h, the stop frame
extern QByteArray FrameTail;        // 0Dh 0Ah, closes every frame
extern QByteArray BlockAck;         // 85h, the device's acknowledgement of a block
extern quint32 FlashBase;           // target address of a file's first block

constexpr int BlockSize = 2048;  // payload bytes in every frame
constexpr int kFrameBytes = 2 + 4 + BlockSize + 4 + 2;
constexpr int kPaceMs = 200;           // the device's time after every frame (tmr1)
constexpr int kBurnTimeoutMs = 10000;  // a burn without an acknowledgement ends (tmr2)

void SetProtocolConstants();

// Eight upper-case hex digits, most significant first.
QString DWordToHex(quint32 value);
// Two upper-case hex digits of the value modulo 256.
QString ByteToHex(int value);
// Adds bytes 0..count-1 of the block, unsigned, to `sum` (modulo 2^32).
void SumBlock(const QByteArray& block, int count, quint32& sum);
// Blocks of BlockSize needed for a file of `size` bytes.
qint32 BlockCountOf(qint32 size);
