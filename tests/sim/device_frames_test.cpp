#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include "support/named_case.h"
#include "test_frames.h"
#include "tools/sim/device.h"

namespace {

// Rows here live in this unnamed namespace, where gtest looks for their printer.
using ::operator<<;

// Keeps what the device did, to be looked at afterwards.
class TRecordingSink : public sim::TDeviceSink {
  public:
    void Send(const QByteArray& bytes) override { Sent += bytes; }
    bool SendNoise(const QByteArray& bytes) override {
        Sent += bytes;
        return true;
    }
    void Trace(const sim::TTraceEvent& event) override {
        Events.append(QJsonDocument::fromJson(event.Json()).object());
    }
    void ImageDone(const QByteArray& image) override { Images.append(image); }

    // What became of the bytes: "frame block 08004000", "bad_frame tail", "skipped 6".
    QStringList Verdicts() const {
        QStringList verdicts;
        for (const QJsonObject& e : Events) {
            const QString name = e["event"].toString();
            if (name == "frame")
                verdicts << name + ' ' + e["kind"].toString() + ' ' + e["address"].toString();
            else if (name == "bad_frame")
                verdicts << name + ' ' + e["reason"].toString();
            else if (name == "skipped")
                verdicts << name + ' ' + QString::number(e["count"].toInt());
        }
        return verdicts;
    }

    QByteArray Sent;
    QList<QJsonObject> Events;
    QList<QByteArray> Images;
};

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

QByteArray Acks(int count) {
    return QByteArray(count, '\x85');
}

QByteArray Patched(QByteArray frame, int at, quint8 value) {
    frame[at] = char(value);
    return frame;
}

QByteArray Cut(QByteArray frame, int at) {
    return frame.remove(at, 1);
}

const QByteArray kImage = TestImage(4096);
const QByteArray kBlock0 = TestBlockFrame(kTestFlashBase, kImage.left(2048));
const QByteArray kBlock1 = TestBlockFrame(kTestFlashBase + 0x800, kImage.mid(2048));

struct TStream {
    std::string Name;
    std::vector<QByteArray> Reads;  // after the handshake, one Receive each
    QStringList Verdicts;
    int Acks;
    bool Handshake = true;
};

const TStream kStreams[] = {
    {"BadChecksum",
     {Patched(kBlock0, 2057, quint8(kBlock0[2057]) + 1), kBlock0},
     {"bad_frame checksum", "frame block 08004000"},
     1},
    // A header without its tail is looked at again from its next byte: the rest of the
    // bad frame is skipped until the next header.
    {"BadTail",
     {Patched(kBlock0, 2059, 0x0B), kBlock0},
     {"bad_frame tail", "skipped 2059", "frame block 08004000"},
     1},
    {"WrongAddress", {kBlock1, kBlock0}, {"bad_frame address", "frame block 08004000"}, 1},
    {"HeaderSplitAcrossReads", {kBlock0.left(1), kBlock0.mid(1)}, {"frame block 08004000"}, 1},
    {"GarbageBeforeAHeader",
     {Hex("0013F07E5AF1") + kBlock0},
     {"skipped 6", "frame block 08004000"},
     1},
    {"StrayHeaderByteBeforeAHeader",
     {Hex("F0") + kBlock0},
     {"bad_frame tail", "frame block 08004000"},
     1},
    {"FrameThatLostAByte",
     {Cut(kBlock0, 100), kBlock0},
     {"bad_frame tail", "skipped 2058", "frame block 08004000"},
     1},
    // The tool missed the acknowledgement and sends the block again.
    {"SameBlockAgain", {kBlock0, kBlock0}, {"frame block 08004000", "frame block 08004000"}, 2},
    {"OlderBlockAgain",
     {kBlock0, kBlock1, kBlock0},
     {"frame block 08004000", "frame block 08004800", "bad_frame address"},
     2},
    // The tool's handshake may still have a request on its way when the frames begin.
    {"HandshakeRequestWhileTakingFrames",
     {Hex("5A"), kBlock0},
     {"skipped 1", "frame block 08004000"},
     1},
    {"StopFrameWithAnAddress",
     {TestFrame(0xF2, kTestFlashBase, QByteArray())},
     {"bad_frame stop_fields"},
     0},
    {"BlockBeforeTheHandshake", {kBlock0}, {"bad_frame no_handshake"}, 0, false},
};

class SimDeviceStream : public ::testing::TestWithParam<TStream> {};

TEST_P(SimDeviceStream, ChecksEveryFrameAndAcknowledgesOnlyGoodOnes) {
    const TStream& row = GetParam();
    TRecordingSink sink;
    sim::TDevice device({}, sink, 0);
    qint64 now = 0;
    if (row.Handshake) device.Receive(Hex("5A"), now);
    for (const QByteArray& bytes : row.Reads) device.Receive(bytes, now += 1000);
    EXPECT_EQ(sink.Verdicts(), row.Verdicts);
    EXPECT_EQ(sink.Sent, (row.Handshake ? Hex("A5") : QByteArray()) + Acks(row.Acks));
    EXPECT_EQ(device.Stats().BadFrames, row.Verdicts.filter("bad_frame").size());
}

INSTANTIATE_TEST_SUITE_P(Streams, SimDeviceStream, ::testing::ValuesIn(kStreams), RowName());

struct TImageCase {
    std::string Name;
    int Size;
};

class SimDeviceImage : public ::testing::TestWithParam<TImageCase> {};

TEST_P(SimDeviceImage, KeepsTheWholeImageAndThenAnswersAsANewDevice) {
    const QByteArray image = TestImage(GetParam().Size);
    const QList<QByteArray> frames = TestImageFrames(image);
    TRecordingSink sink;
    sim::TDevice device({}, sink, 0);
    device.Receive(Hex("5A"), 0);
    for (const QByteArray& frame : frames) device.Receive(frame, 0);
    ASSERT_EQ(sink.Images.size(), 1);
    const int padded = (GetParam().Size + 2047) / 2048 * 2048;
    EXPECT_EQ(sink.Images[0], image.leftJustified(padded, '\0'));
    EXPECT_EQ(device.Stats().DevicesDone, 1);
    EXPECT_EQ(device.Stats().GoodFrames, frames.size());
    device.Receive(Hex("5A"), 0);
    EXPECT_EQ(sink.Sent, Hex("A5") + Acks(int(frames.size())) + Hex("A5"));
}

INSTANTIATE_TEST_SUITE_P(Images, SimDeviceImage,
                         ::testing::Values(TImageCase{"OneByte", 1},
                                           TImageCase{"ExactlyOneBlock", 2048},
                                           TImageCase{"OneByteMoreThanABlock", 2049},
                                           TImageCase{"FiveThousandBytes", 5000}),
                         RowName());

TEST(SimDeviceStop, AStopFrameSendsItBackToIdleWithoutAnImage) {
    TRecordingSink sink;
    sim::TDevice device({}, sink, 0);
    device.Receive(Hex("5A") + kBlock0 + TestStopFrame() + Hex("5A"), 0);
    EXPECT_EQ(sink.Verdicts(), QStringList({"frame block 08004000", "frame stop 00000000"}));
    EXPECT_EQ(sink.Sent, Hex("A585A5"));
    EXPECT_EQ(device.Stats().StopFrames, 1);
    EXPECT_TRUE(sink.Images.isEmpty());
}

}  // namespace
