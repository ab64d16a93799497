// The device side of the burn protocol: the bytes the bootloader expects and answers with.
// Kept apart from the tool's own constants on purpose, so the two check each other.
#pragma once

#include <QtGlobal>

namespace sim {

constexpr quint8 kShakeRequest = 0x5A;
constexpr quint8 kShakeReply = 0xA5;
constexpr quint8 kBlockAck = 0x85;

constexpr quint8 kBlockHeader = 0xF0;  // each header is this byte twice
constexpr quint8 kLastHeader = 0xF1;
constexpr quint8 kStopHeader = 0xF2;
constexpr quint8 kTail0 = 0x0D;
constexpr quint8 kTail1 = 0x0A;

constexpr quint32 kFlashBase = 0x08004000;
constexpr int kPayloadSize = 2048;
// Header, address, payload, checksum, tail.
constexpr int kFrameSize = 2 + 4 + kPayloadSize + 4 + 2;

}  // namespace sim
