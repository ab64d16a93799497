// Which acknowledgements count for which frame, with the station on the test's own thread and
// a host that records every frame: the test puts the device's bytes into the capture at
// exactly the moment it wants.
#include <gtest/gtest.h>

#include <QDateTime>

#include "burn/protocol.h"
#include "link/com_port.h"
#include "station/image_snapshot.h"
#include "station/station.h"
#include "station/station_host.h"
#include "support/named_case.h"
#include "support/pty_pair.h"

namespace {

// Frames as the device would see them: each piece appended, a frame complete at its tail.
class TRecordingHost : public TStationHost {
  public:
    void WritePiece(const QByteArray& bytes) override { Append(bytes); }
    void WriteHexPiece(const QByteArray& bytes) override { Append(bytes); }
    bool SendShakeRequest(const QString&) override { return true; }
    void BurnDevice() override {}

    QList<QByteArray> Frames;

  private:
    void Append(const QByteArray& bytes) {
        mFrame += bytes;
        if (mFrame.size() == kFrameBytes) {
            Frames.append(mFrame);
            mFrame.clear();
        }
    }
    QByteArray mFrame;
};

quint32 AddressOf(const QByteArray& frame) {
    return quint32(quint8(frame[2])) << 24 | quint32(quint8(frame[3])) << 16 |
           quint32(quint8(frame[4])) << 8 | quint32(quint8(frame[5]));
}

struct TEarlyAckCase {
    const char* Name;
    TPaceMode Pace;
    QList<quint32> Addresses;  // of the first three frames
};

class AckBeforeTheFrame : public ::testing::TestWithParam<TEarlyAckCase> {};

}  // namespace

// The device acknowledges the first frame; one more acknowledgement comes in after that
// frame's scan but before the second frame is sent, and the second frame itself is never
// acknowledged.
TEST_P(AckBeforeTheFrame, CountsForTheNextFrameOnlyUnderTheFixedPace) {
    SetProtocolConstants();
    TComPort port;
    TRecordingHost host;
    TStation station(&port, &host);
    station.Pace = GetParam().Pace;
    TImageSnapshot image;
    image.Path = "image.bin";
    image.Bytes = QByteArray(3 * BlockSize, '\x11');
    TSnapshotSource source(image);

    int frames = 0;
    QObject::connect(&station, &TStation::FrameSent, [&] {
        if (++frames == 1) station.Capture("\x85");
        if (frames == 3) station.RaiseStopFlags();
    });
    bool early = false;
    QObject::connect(&station, &TStation::Progress, [&](qint32 block, qint32, qint32) {
        if (block == 1 && !early) {
            early = true;
            station.Capture("\x85");
        }
    });
    station.BurnImage(source);
    ASSERT_GE(host.Frames.size(), 3);
    QList<quint32> addresses;
    for (int i = 0; i < 3; ++i) addresses.append(AddressOf(host.Frames[i]));
    EXPECT_EQ(addresses, GetParam().Addresses);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AckBeforeTheFrame,
    ::testing::Values(
        // The second block counts as acknowledged, so the third goes out.
        TEarlyAckCase{"FixedPace", TPaceMode::Fixed, {0x08004000, 0x08004800, 0x08005000}},
        // The second block is sent again.
        TEarlyAckCase{"AckPace", TPaceMode::Ack, {0x08004000, 0x08004800, 0x08004800}}),
    RowName());
